#include "sheet/startup.h"

#include "dialogs/about1.h"
#include "dialogs/diags.h"
#include "dialogs/edpt.h"
#include "dialogs/edtxt.h"
#include "dialogs/forms.h"
#include "dialogs/hchk.h"
#include "dialogs/layers.h"
#include "dialogs/newseg.h"
#include "dialogs/notepad.h"
#include "dialogs/notes.h"
#include "dialogs/pfls.h"
#include "dialogs/relayer.h"
#include "dialogs/segdets.h"
#include "library/application.h"
#include "library/cal.h"
#include "library/choice.h"
#include "library/flash.h"
#include "library/inpstr.h"
#include "library/qorvlib.h"
#include "library/selfldr.h"
#include "platform/termination.h"
#include "sheet/func.h"
#include "sheet/segs.h"
#include "sheet/sheet.h"
#include "sheet/unit1.h"
#include "store/diagramrows.h"
#include "store/healthcheck.h"
#include "store/layersdata.h"
#include "store/profilesdata.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QWidget>

ProgramWindows::ProgramWindows(const Edition& edition, const QString& exeFolder) : edition_(edition)
{
    forms.Program = &edition_;
    sheet = std::make_unique<TFSheet>(forms);
    forms.FSheet = sheet.get();
    cal = std::make_unique<TFCal>();
    forms.FCal = cal.get();
    choice = std::make_unique<TFchoice>();
    forms.Fchoice = choice.get();
    flash = std::make_unique<TFFlash>();
    forms.FFlash = flash.get();
    UseFlashWindow(flash.get());
    inpstr = std::make_unique<TFinpstr>();
    forms.Finpstr = inpstr.get();
    UseInputBox(inpstr.get());
    notepad = std::make_unique<TFnotepad>(exeFolder);
    forms.Fnotepad = notepad.get();
    selfolder = std::make_unique<Tfselfolder>();
    forms.fselfolder = selfolder.get();
    about = std::make_unique<TFAbout1>(edition.About, QCoreApplication::applicationFilePath());
    forms.FAbout1 = about.get();
    core = edition.MakeStore(exeFolder);
    forms.Fcore = core.get();
    UseFaultWords([store = core.get()](const std::exception& e) { return store->FaultText(e); });
    seg = std::make_unique<TFseg>(*core, forms);
    forms.Fseg = seg.get();
    segs = std::make_unique<TFsegs>();
    forms.Fsegs = segs.get();
    edtxt = std::make_unique<TFedtxt>(*core, forms);
    forms.Fedtxt = edtxt.get();
    edpt = std::make_unique<TFEdPt>(*core);
    forms.FEdPt = edpt.get();
    segdets = std::make_unique<TFSegdets>(*core, forms);
    forms.FSegdets = segdets.get();
    diags = std::make_unique<TFDiags>(*core, core->MakeDiagramRows(), edition_);
    forms.FDiags = diags.get();
    layers = std::make_unique<TFLayers>(*core, core->MakeLayersData(), forms);
    forms.FLayers = layers.get();
    relayer = std::make_unique<Tfrelayer>(*core, core->MakeLayersData());
    forms.frelayer = relayer.get();
    form1 = std::make_unique<TForm1>();
    forms.Form1 = form1.get();
    hchk = std::make_unique<TFhchk>(core->MakeHealthCheck(),
                                    [s = sheet.get()] { return s->Sheet.ZoomFactor; });
    forms.Fhchk = hchk.get();
    pfls = std::make_unique<TFpfls>(*core, core->MakeProfilesData(), edition_);
    forms.Fpfls = pfls.get();
    newseg = std::make_unique<TFnewseg>(*core, forms);
    forms.Fnewseg = newseg.get();
    notes = std::make_unique<TFnotes>(*core);
    forms.Fnotes = notes.get();
}

ProgramWindows::~ProgramWindows()
{
    UseFaultWords({});
    // The main window goes last, as the first one created.
    notes.reset();
    newseg.reset();
    pfls.reset();
    hchk.reset();
    form1.reset();
    relayer.reset();
    layers.reset();
    diags.reset();
    segdets.reset();
    edpt.reset();
    edtxt.reset();
    segs.reset();
    seg.reset();
    core.reset();
    about.reset();
    selfolder.reset();
    notepad.reset();
    inpstr.reset();
    flash.reset();
    choice.reset();
    cal.reset();
    sheet.reset();
}

int ProgramRun::Exec(const Edition& edition, const QString& exeFolder)
{
    ProgramWindows windows(edition, exeFolder);
    // A store that cannot be opened has been reported; the program ends
    // without showing a window that would work on nothing.
    if (!windows.forms.Fcore->Opened())
        return 1;
    sheet_ = windows.forms.FSheet;
    if (terminating_) {
        sheet_->CloseSheet();
        sheet_ = nullptr;
        return 0;
    }
    // The loop ends with the main window, not with the last window shown: a
    // modeless window still up (the palette, the about window) must not keep
    // the program running after its store has been closed.
    QObject::connect(sheet_, &TFSheet::Closed, sheet_, [] { QCoreApplication::exit(0); });
    sheet_->Timer1.start();
    sheet_->show();
    // Showing the window draws the diagram, and a box it raises runs a loop
    // of its own: a termination signal there closed the window before the
    // program's loop began, and that loop would not have ended.
    if (terminating_) {
        sheet_ = nullptr;
        return 0;
    }
    const int code = QCoreApplication::exec();
    sheet_ = nullptr;
    return code;
}

void ProgramRun::Terminate()
{
    terminating_ = true;
    if (sheet_)
        sheet_->CloseSheet();
    QCoreApplication::exit(0);
}

int RunProgram(int argc, char** argv, const Edition& edition)
{
    Application app(argc, argv);
    QCoreApplication::setApplicationName(edition.Title);
    InitLibrary();
    ProgramRun run;
    InstallTerminationHandler([&run] { run.Terminate(); });
    return run.Exec(edition, ProgramFolderPath());
}
