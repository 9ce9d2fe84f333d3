#pragma once
// The main block both programs share: create every window once, in a fixed
// order, arm the start-up timer and run the message loop.

#include <QString>
#include <functional>
#include <memory>

class Store;
class DiagramRows;
class LayersData;
class ProfilesData;

// What tells the two programs apart: their title, their store and the data
// behind the list windows, which each store reaches its own way.
struct Edition {
    QString Title;
    // Makes the program's store for the program folder and opens it; errors
    // while opening are shown and the program carries on without data.
    std::function<std::unique_ptr<Store>(const QString& exeFolder)> MakeStore;
    std::function<std::unique_ptr<DiagramRows>(Store&)> MakeDiagramRows;
    std::function<std::unique_ptr<LayersData>(Store&)> MakeLayersData;
    std::function<std::unique_ptr<ProfilesData>(Store&)> MakeProfilesData;
};

int RunProgram(int argc, char** argv, const Edition& edition);
