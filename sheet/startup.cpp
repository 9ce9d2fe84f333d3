#include "sheet/startup.h"

#include "dialogs/about1.h"
#include "dialogs/diags.h"
#include "dialogs/diagsrows.h"
#include "dialogs/edpt.h"
#include "dialogs/edtxt.h"
#include "dialogs/hchk.h"
#include "dialogs/layers.h"
#include "dialogs/layersdata.h"
#include "dialogs/newseg.h"
#include "dialogs/notepad.h"
#include "dialogs/notes.h"
#include "dialogs/pfls.h"
#include "dialogs/pflsdata.h"
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
#include "sheet/forms.h"
#include "sheet/func.h"
#include "sheet/segs.h"
#include "sheet/sheet.h"
#include "sheet/unit1.h"
#include "store/store.h"

#include <QCoreApplication>
#include <QWidget>

namespace {

// Every window of the run, owned here and destroyed when the loop has ended.
struct Windows {
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

    ~Windows()
    {
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
};

// Creates the windows in the order the program has always used; a window
// made before the store touches no data.
void CreateWindows(Windows& w, Forms& forms, const Edition& edition)
{
    w.sheet = std::make_unique<TFSheet>(forms);
    forms.FSheet = w.sheet.get();
    w.cal = std::make_unique<TFCal>();
    forms.FCal = w.cal.get();
    w.choice = std::make_unique<TFchoice>();
    forms.Fchoice = w.choice.get();
    w.flash = std::make_unique<TFFlash>();
    forms.FFlash = w.flash.get();
    UseFlashWindow(w.flash.get());
    w.inpstr = std::make_unique<TFinpstr>();
    forms.Finpstr = w.inpstr.get();
    UseInputBox(w.inpstr.get());
    w.notepad = std::make_unique<TFnotepad>();
    forms.Fnotepad = w.notepad.get();
    w.selfolder = std::make_unique<Tfselfolder>();
    forms.fselfolder = w.selfolder.get();
    w.about = std::make_unique<TFAbout1>();
    forms.FAbout1 = w.about.get();
    w.core = edition.MakeStore(QCoreApplication::applicationDirPath());
    forms.Fcore = w.core.get();
    w.seg = std::make_unique<TFseg>(*w.core, forms);
    forms.Fseg = w.seg.get();
    w.segs = std::make_unique<TFsegs>();
    forms.Fsegs = w.segs.get();
    w.edtxt = std::make_unique<TFedtxt>();
    forms.Fedtxt = w.edtxt.get();
    w.edpt = std::make_unique<TFEdPt>();
    forms.FEdPt = w.edpt.get();
    w.segdets = std::make_unique<TFSegdets>();
    forms.FSegdets = w.segdets.get();
    w.diags = std::make_unique<TFDiags>(*w.core, edition.MakeDiagramRows(*w.core));
    forms.FDiags = w.diags.get();
    w.layers = std::make_unique<TFLayers>(*w.core, edition.MakeLayersData(*w.core), forms);
    forms.FLayers = w.layers.get();
    w.relayer = std::make_unique<Tfrelayer>(*w.core, edition.MakeLayersData(*w.core));
    forms.frelayer = w.relayer.get();
    w.form1 = std::make_unique<TForm1>();
    forms.Form1 = w.form1.get();
    w.hchk = std::make_unique<TFhchk>();
    forms.Fhchk = w.hchk.get();
    w.pfls = std::make_unique<TFpfls>(*w.core, edition.MakeProfilesData(*w.core));
    forms.Fpfls = w.pfls.get();
    w.newseg = std::make_unique<TFnewseg>(*w.core, forms);
    forms.Fnewseg = w.newseg.get();
    w.notes = std::make_unique<TFnotes>(*w.core);
    forms.Fnotes = w.notes.get();
}

} // namespace

int RunProgram(int argc, char** argv, const Edition& edition)
{
    Application app(argc, argv);
    QCoreApplication::setApplicationName(edition.Title);
    InitLibrary();
    Forms forms;
    Windows windows;
    CreateWindows(windows, forms, edition);
    forms.FSheet->Timer1.start();
    InstallTerminationHandler([&forms] { forms.FSheet->CloseSheet(); });
    forms.FSheet->show();
    return app.exec();
}
