#pragma once
// What the grid unit does once per process. Start-up and shut-down are
// counted, so nested users run them once: the first start-up registers the
// grid's private clipboard format and decides the flat-scroll-bar flag; the
// last shut-down forgets them. There is no OLE to initialise here, and no
// common-controls library: the flat scroll bars are never available.

#include <QString>

class TGridUnit {
public:
    static void Startup();
    static void Shutdown();
    // Users still between Startup and Shutdown.
    static int Users();
    // How many times the clipboard format was registered in this process.
    static int Registrations();

    // The private clipboard format of grid cells (registered under the
    // name "TExtStringGrid Cells"), the one the grid's copy and paste use;
    // empty before start-up (the grid then offers and reads no cells).
    static QString CellsFormat();
    static QString CellsFormatName() { return QStringLiteral("TExtStringGrid Cells"); }
    static bool FlatScrollBars();
};
