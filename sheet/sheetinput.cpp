#include "sheet/sheetinput.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

void SheetInput::Attach(QWidget& keyWindow, QWidget& drawing)
{
    keyWindow_ = &keyWindow;
    drawing_ = &drawing;
    keyWindow.installEventFilter(this);
    drawing.installEventFilter(this);
}

void SheetInput::OnKey(int key, bool keypad, std::function<void()> action)
{
    keys_[{key, keypad}] = {std::move(action), false};
}

void SheetInput::OnDialogKey(int key, bool keypad, std::function<void()> action)
{
    keys_[{key, keypad}] = {std::move(action), true};
}

void SheetInput::OnButtonDown(QAbstractButton& button, std::function<void(bool shift)> action)
{
    button.installEventFilter(this);
    buttons_.emplace_back(&button, std::move(action));
}

bool SheetInput::KeysReachDrawing() const
{
    const QWidget* focused = keyWindow_->focusWidget();
    return focused == nullptr || focused == keyWindow_;
}

bool SheetInput::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == keyWindow_ && type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool keypad = key->modifiers().testFlag(Qt::KeypadModifier);
        const auto found = keys_.find({key->key(), keypad});
        // The key is not consumed: the window sees it as well. A key that a
        // focused control took for itself never gets here.
        if (found != keys_.end() && (found->second.anyFocus || KeysReachDrawing()))
            found->second.action();
        return false;
    }
    if (watched == drawing_ &&
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        // A double click arrives in place of its second press: that press
        // still places X first.
        if (press_)
            press_(at.x(), at.y());
        if (type == QEvent::MouseButtonDblClick && doubleClick_)
            doubleClick_(at.x(), at.y());
        return false;
    }
    // The second press of a quick double click comes as a double click
    // alone: it is a press all the same.
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        for (const auto& [button, action] : buttons_) {
            if (button != watched)
                continue;
            const auto* mouse = static_cast<QMouseEvent*>(event);
            action(mouse->modifiers().testFlag(Qt::ShiftModifier));
        }
    }
    return false;
}
