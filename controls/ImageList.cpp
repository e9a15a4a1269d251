#include "controls/ImageList.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace controls {
namespace {

QString PicturePath(const QString& name) {
    return QStringLiteral(":/pictures/") + name + ".svg";
}

} // namespace

bool PictureExists(const QString& name) {
    return QFile::exists(PicturePath(name));
}

ImageList::ImageList(QObject* parent, int size, std::initializer_list<const char*> names)
    : QObject(parent), size_(size) {
    for (const char* name : names)
        names_ << QString::fromUtf8(name);
}

QPixmap ImageList::Picture(int index) const {
    if (index < 0 || index >= Count())
        return {};
    QSvgRenderer renderer(PicturePath(names_[index]));
    QPixmap picture(size_, size_);
    picture.fill(Qt::transparent);
    if (renderer.isValid()) {
        QPainter painter(&picture);
        renderer.render(&painter);
    }
    return picture;
}

QIcon ImageList::Icon(int index) const {
    const QPixmap picture = Picture(index);
    if (picture.isNull())
        return {};
    QIcon icon(picture);
    return icon;
}

} // namespace controls
