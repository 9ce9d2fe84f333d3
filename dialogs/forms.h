#pragma once
// The program's windows, one instance each for the whole run. The main block
// creates them in a fixed order and fills this in as it goes; a window reaches
// another one through it once both exist.

class TFSheet;
class TFCal;
class TFchoice;
class TFFlash;
class TFinpstr;
class TFnotepad;
class Tfselfolder;
class TFAbout1;
class Store;
class TFseg;
class TFsegs;
class TFedtxt;
class TFEdPt;
class TFSegdets;
class TFDiags;
class TFLayers;
class Tfrelayer;
class TForm1;
class TFhchk;
class TFpfls;
class TFnewseg;
class TFnotes;
struct Edition;

struct Forms {
    // The program's edition; none (in tests) stands for the first program.
    const Edition* Program = nullptr;
    TFSheet* FSheet = nullptr;
    TFCal* FCal = nullptr;
    TFchoice* Fchoice = nullptr;
    TFFlash* FFlash = nullptr;
    TFinpstr* Finpstr = nullptr;
    TFnotepad* Fnotepad = nullptr;
    Tfselfolder* fselfolder = nullptr;
    TFAbout1* FAbout1 = nullptr;
    Store* Fcore = nullptr; // the store's window of either program
    TFseg* Fseg = nullptr;
    TFsegs* Fsegs = nullptr;
    TFedtxt* Fedtxt = nullptr;
    TFEdPt* FEdPt = nullptr;
    TFSegdets* FSegdets = nullptr;
    TFDiags* FDiags = nullptr;
    TFLayers* FLayers = nullptr;
    Tfrelayer* frelayer = nullptr;
    TForm1* Form1 = nullptr;
    TFhchk* Fhchk = nullptr;
    TFpfls* Fpfls = nullptr;
    TFnewseg* Fnewseg = nullptr;
    TFnotes* Fnotes = nullptr;
};

// The edition the windows take their differences from.
const Edition& ProgramEdition(const Forms& forms);
