// The main window's Quality menu: normalised charts, monthly summary and the import of a goal file.
#pragma once

class QMenu;
class TWinMain;

// Adds the menu before the help menu; its windows are made at first use and kept.
QMenu* AddQualityMenu(TWinMain& w);
// The import of the menu: a goal file chosen by the user, through the operations layer.
void ImportGoalFile(TWinMain& w);
// File > Import peer statistics: a peer file chosen by the user, through the operations layer; a
// refused file shows its refused lines.
void ImportPeerFile(TWinMain& w);
// The main window's notice of the analytes with an open patient-based QC alarm, beside the queue
// indicator; hidden while there is none. Read again at each change and now and then.
void AddPatientQcNotice(TWinMain& w);
void RefreshPatientQcNotice(TWinMain& w);
// The strip under the main window with the current analyte's patient-based QC chart, over the span of
// the runs in view; shown while that analyte has a procedure. Its alarms are marked on the charts too.
void AddPatientQcStrip(TWinMain& w);
// Reads the current analyte's stream and alarms again when another analyte is shown (or `again`), and
// redraws the strip.
void UpdatePatientQcStrip(TWinMain& w, bool again = false);
