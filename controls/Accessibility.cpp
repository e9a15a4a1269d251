#include "controls/Accessibility.h"

#include "controls/Panel.h"
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

// A panel's caption is painted, not held by a label: it is given to assistive technology here.
class PanelAccessible : public QAccessibleWidget {
public:
    explicit PanelAccessible(Panel* panel) : QAccessibleWidget(panel, QAccessible::Pane) {}

    QAccessible::Role role() const override {
        if (Owner()->IsStatus())
            return QAccessible::StatusBar;
        return Owner()->Text().isEmpty() ? QAccessible::Pane : QAccessible::StaticText;
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return Owner()->Text();
        return QAccessibleWidget::text(kind);
    }

private:
    Panel* Owner() const { return static_cast<Panel*>(widget()); }
};

QAccessibleInterface* PanelInterface(const QString&, QObject* object) {
    // Qt's accessibility cache takes the interface over and deletes it with the panel.
    if (auto* panel = dynamic_cast<Panel*>(object))
        return new PanelAccessible(panel);
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

void InstallPanelAccessibility() {
    static bool installed = false;
    if (installed)
        return;
    QAccessible::installFactory(PanelInterface);
    installed = true;
}

} // namespace controls
