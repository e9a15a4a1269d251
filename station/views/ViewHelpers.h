// What the views share: names for their widgets, texts, and what keyboard and screen-reader users
// are given.
#pragma once

#include "station/OperatorTexts.h"

#include <QLabel>
#include <QObject>
#include <QString>
#include <QWidget>

#include <initializer_list>
#include <string>

namespace station {

// Gives `object` its name (how tests and accessibility tools find it) and returns it.
template <typename T> T* Named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

inline QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// Tab visits `widgets` in this order.
inline void SetTabChain(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

// A field is announced by the caption written beside it (without its closing colon).
inline void NameAfterLabel(QWidget* field, QLabel* label) {
    QString name = label->text().trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    field->setAccessibleName(name);
    label->setBuddy(field);
}

} // namespace station
