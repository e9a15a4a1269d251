// What the views share: names for their widgets and the captions' fonts.
#pragma once

#include <QObject>
#include <QString>

#include <string>

// Gives `object` its name (how tests and accessibility tools find it) and returns it.
template <typename T> T* Named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

inline QString Text(const std::string& text) {
    return QString::fromStdString(text);
}
