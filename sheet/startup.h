#pragma once
// The main block both programs share: create every window once, in a fixed
// order, arm the start-up timer and run the message loop.

#include <QString>
#include <functional>
#include <memory>

class Store;
class QWidget;

// Makes the program's store for the program folder and opens it; errors
// while opening are shown and the program carries on without data.
using StoreFactory = std::function<std::unique_ptr<Store>(const QString& exeFolder)>;

// The store's window of either program is a Store that is also a QWidget.
int RunProgram(int argc, char** argv, const QString& title, const StoreFactory& makeStore);
