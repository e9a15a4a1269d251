#include "controls/Accessibility.h"

#include "controls/ToggleButton.h"

#include <QAccessibleWidget>
#include <QKeyEvent>

namespace controls {
namespace {

// Qt's own interface for a checkable button toggles it without a click, so the button's handler
// would not run and the station's state would part from what the button shows. Here every action
// is a click, as if the operator had pressed the button.
class ToggleButtonAccessible : public QAccessibleWidget {
public:
    explicit ToggleButtonAccessible(ToggleButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Button()->isChecked();
        state.pressed = Button()->isDown();
        return state;
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            if (!widget()->accessibleName().isEmpty())
                return widget()->accessibleName();
            return widget()->toolTip();
        }
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override {
        QStringList names;
        if (widget()->isEnabled())
            names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (!widget()->isEnabled())
            return;
        if (action == toggleAction() || action == pressAction())
            Button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    ToggleButton* Button() const { return static_cast<ToggleButton*>(widget()); }
};

QAccessibleInterface* ToggleButtonInterface(const QString&, QObject* object) {
    // Qt's accessibility cache takes the interface over and deletes it with the button.
    if (auto* button = dynamic_cast<ToggleButton*>(object))
        return new ToggleButtonAccessible(button);
    return nullptr;
}

} // namespace

void SetAccessibleCaption(QWidget* control, const QString& caption) {
    control->setAccessibleName(caption);
    control->setToolTip(caption);
}

bool IsActivationKey(const QKeyEvent& event) {
    const auto key = event.key();
    return (key == Qt::Key_Return || key == Qt::Key_Enter) &&
           (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

void InstallToggleButtonAccessibility() {
    static bool installed = false;
    if (installed)
        return;
    QAccessible::installFactory(ToggleButtonInterface);
    installed = true;
}

} // namespace controls
