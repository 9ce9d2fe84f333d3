#pragma once
// The main block both programs share: create every window once, in a fixed
// order, arm the start-up timer and run the message loop.

#include "dialogs/edition.h"
#include "dialogs/forms.h"

#include <QString>
#include <functional>
#include <memory>

// Every window of the run, created in the order the program has always used
// (a window made before the store touches no data) and destroyed in reverse.
class ProgramWindows
{
  public:
    ProgramWindows(const Edition& edition, const QString& exeFolder);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    Forms forms;

  private:
    const Edition edition_; // the windows reach it through forms.Program
    std::unique_ptr<TFSheet> sheet;
    std::unique_ptr<TFCal> cal;
    std::unique_ptr<TFchoice> choice;
    std::unique_ptr<TFFlash> flash;
    std::unique_ptr<TFinpstr> inpstr;
    std::unique_ptr<TFnotepad> notepad;
    std::unique_ptr<Tfselfolder> selfolder;
    std::unique_ptr<TFAbout1> about;
    std::unique_ptr<Store> core;
    std::unique_ptr<TFseg> seg;
    std::unique_ptr<TFsegs> segs;
    std::unique_ptr<TFedtxt> edtxt;
    std::unique_ptr<TFEdPt> edpt;
    std::unique_ptr<TFSegdets> segdets;
    std::unique_ptr<TFDiags> diags;
    std::unique_ptr<TFLayers> layers;
    std::unique_ptr<Tfrelayer> relayer;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TFhchk> hchk;
    std::unique_ptr<TFpfls> pfls;
    std::unique_ptr<TFnewseg> newseg;
    std::unique_ptr<TFnotes> notes;
};

// One run of the program on an application object that exists already:
// the windows are made, the message loop runs, and it ends whenever the main
// window closes (Exit, the quit button, the close box, a termination signal),
// whatever other windows are still shown.
class ProgramRun
{
  public:
    // Makes the windows for the program folder and runs the loop; the exit
    // code of the loop.
    int Exec(const Edition& edition, const QString& exeFolder);
    // A termination signal: closes the main window as Exit does, also while
    // a box is open or the windows are still being made.
    void Terminate();

  private:
    bool terminating_ = false;
    TFSheet* sheet_ = nullptr;
};

int RunProgram(int argc, char** argv, const Edition& edition);
