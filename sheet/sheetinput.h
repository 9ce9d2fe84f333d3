#pragma once
// The keys and mouse actions of the main window's drawing. Most keys act
// only while no control of the window has the keyboard focus, so that a
// focused button or combo box keeps its own keys; Enter and Esc act
// whatever control has the focus, unless that control takes the key itself.
// The drawing takes presses and double clicks at their pixel; the skip
// buttons act on every press of the mouse button, with the SHIFT state of
// that moment. Each binding is one entry in a table, so a command adds its
// key or mouse action in one line.

#include <QObject>
#include <functional>
#include <map>
#include <utility>
#include <vector>

class QAbstractButton;
class QWidget;

class SheetInput : public QObject
{
    Q_OBJECT

  public:
    // keyWindow receives the keys; drawing receives the mouse actions.
    void Attach(QWidget& keyWindow, QWidget& drawing);

    // A key of the main keyboard (keypad false) or of the numeric pad.
    void OnKey(int key, bool keypad, std::function<void()> action);
    // A key that acts also while a control of the window has the focus.
    void OnDialogKey(int key, bool keypad, std::function<void()> action);
    void OnPress(std::function<void(int x, int y)> action) { press_ = std::move(action); }
    void OnDoubleClick(std::function<void(int x, int y)> action)
    {
        doubleClick_ = std::move(action);
    }
    // The button's mouse press, with whether SHIFT was held.
    void OnButtonDown(QAbstractButton& button, std::function<void(bool shift)> action);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool KeysReachDrawing() const;

    QWidget* keyWindow_ = nullptr;
    QWidget* drawing_ = nullptr;
    struct KeyBinding {
        std::function<void()> action;
        bool anyFocus = false;
    };

    std::map<std::pair<int, bool>, KeyBinding> keys_;
    std::function<void(int, int)> press_;
    std::function<void(int, int)> doubleClick_;
    std::vector<std::pair<QObject*, std::function<void(bool)>>> buttons_;
};
