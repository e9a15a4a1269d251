// A list of square pictures addressed by index, drawn from the project's own SVG files.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QStringList>
#include <initializer_list>

namespace controls {

class ImageList : public QObject {
public:
    // Each name is the base name of an SVG file among the compiled-in pictures.
    ImageList(QObject* parent, int size, std::initializer_list<const char*> names);

    int Count() const { return static_cast<int>(names_.size()); }
    int Size() const { return size_; }
    QString Name(int index) const { return names_.value(index); }
    // The picture at `index`; an index outside the list gives an empty picture.
    QPixmap Picture(int index) const;
    QIcon Icon(int index) const;

private:
    int size_;
    QStringList names_;
};

// Whether a picture of that name is compiled in.
bool PictureExists(const QString& name);

} // namespace controls
