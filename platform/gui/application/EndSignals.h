// Ending on SIGTERM, SIGINT and SIGHUP.
#pragma once

class QObject;

// From now on an end signal ends the program through afx_ui::EndOnSignal, on the event loop of
// owner's thread.
void AfxCloseOnEndSignals(QObject* owner);
