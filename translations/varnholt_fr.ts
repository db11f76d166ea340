<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Core</name>
    <message>
        <source>Cannot write %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write %1: it is a link to a missing file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TChartPrinter</name>
    <message>
        <source>Legend:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1:3s  rule broken</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TGBFixedParam</name>
    <message>
        <source>Target value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deviations allowed before</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fixed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mobile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Action &lt; Warning</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TGBLockedParam</name>
    <message>
        <source>Locked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mobile</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TInboxWatch</name>
    <message>
        <source>&amp;Instrument mapping</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Inbox</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 run(s) to the queue, %2 stored, %3 result(s) not mapped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last reading </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Inbox: unavailable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Inbox: %1 new</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 not mapped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 failed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TNotMappedModel</name>
    <message>
        <source> line </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TPrintJob</name>
    <message>
        <source>The printout could not be started.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TProgram</name>
    <message>
        <source>Cannot read data</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TQtPrompt</name>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TSigmaPages</name>
    <message>
        <source>&amp;Reference points</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>to</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinAbout</name>
    <message>
        <source>About Varnholt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data folder:
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinCorrectiveActions</name>
    <message>
        <source>Corrective actions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Offered when a rule rejects a run, one per line:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinDefAnalytes</name>
    <message>
        <source>Definition of analytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Levels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Decimals</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(15 characters max)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(1 to 3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(6 chararcters max)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(0 to 3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add to list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Replace in list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset &amp;fields</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete analyte</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Sort analytes by names</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort Analytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T&amp;op</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do&amp;wn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Bottom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quality goals</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;TEa</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Target level %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(unit)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select the analyte to replace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select the analyte to delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select the analyte to move</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinDefSerum</name>
    <message>
        <source>Definition of control materials</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List of registered control materials</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(15 characters max)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(10 characters max)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add to list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Change only the definition of materials</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change and &amp;erase former data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Clear fields</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete material</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Material used by</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select the line to replace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select the control material to delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select one control material</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinDisplaySize</name>
    <message>
        <source>Display size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Size of the windows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Follow the desktop</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinEntryPsw</name>
    <message>
        <source>QC : enter password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Password : </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinInboxMapping</name>
    <message>
        <source>Results from the instruments</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Results not mapped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Map</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Store the mapping and bring in the results waiting for it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mappings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analyte</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading options of a source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mapped: %1 run(s) to the queue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (%1 completing a held run)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 stored, %2 still not mapped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading options of %1 saved</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinInboxOptions</name>
    <message>
        <source>Inbox</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Inbox folder of the instruments&apos; files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Empty: no inbox. Each subfolder is a source of its own.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the inbox folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Accept runs with no warning and no reject without validation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Results of one analyte within</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>minutes form one run</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Inbox folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinLogoCQ</name>
    <message>
        <source>Internal quality control</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinMain</name>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data ta&amp;ble</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Table of QC data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print charts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printing control charts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Archi&amp;ves</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show archived data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>D&amp;aily QC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Daily QC results</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Control limits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show control limits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bac&amp;kup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup on diskette</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Assign &amp;lots</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change QC material or lot number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Queue : 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Queue of held QC results</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Locking control limits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fixing control limits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Erasing QC levels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Operator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Comment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Analytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Control materials</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Operators</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Backup/restore options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Statistical &amp;risks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Shortcuts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Display size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Diskette restore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Random generator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Clear queue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exit Varnholt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Impossible to open the user manual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Partial statistics for the interval</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to archive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to erase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Journal of changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Review and sign-off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Corrective actions</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinMonthlySummary</name>
    <message>
        <source>&amp;From</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export CSV...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No quality goal: no Sigma (set one in Parameters &gt; Analytes)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinNewPsw</name>
    <message>
        <source>Change password</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinOptions</name>
    <message>
        <source>Backup / restore options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the backup folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup / restore folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinPrintPreview</name>
    <message>
        <source>Print preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fit width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whole page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the printer, the copies, the pages and the paper</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF file, %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printer %1, %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinPrnCharts</name>
    <message>
        <source>&amp;First date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Last date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Points to print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QC levels to print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print &amp;statistics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Color printer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinPrnData</name>
    <message>
        <source>&amp;First date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Last date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print &amp;statistics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lines to print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinRandom</name>
    <message>
        <source>&amp;Number of QC points</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;First date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QC &amp;time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Distribution of data </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Random data in &amp;queue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Random data in &amp;charts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Random data generator for </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Control material</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fill in the grid</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinReason</name>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reason for the change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Corrective action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reason</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What was done</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinReview</name>
    <message>
        <source>Review and sign-off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Si&amp;gn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reviewer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose one or more analytes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinRisks</name>
    <message>
        <source>Varnholt : Statistical parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The control limits displayed in the panes are valid only for  long QC reference periods 
(&gt;30 points). If shorter, Student&apos;s t is used with the relevant degrees of freedom.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> &amp;Alert limits </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> A&amp;ction limits </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinSerumByAnal</name>
    <message>
        <source>Assignment of control materials</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level &amp;%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List of registered control materials</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change only the assignment of materials</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change and &amp;erase former data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QC materials for </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No control material selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing Changed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinSetUp</name>
    <message>
        <source>Quality control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create a shortcut  on the desktop for &lt; %1 &gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The installed program is in the menu already</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No icon folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No desktop folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No applications folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to complete setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Setup OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinShowJournal</name>
    <message>
        <source>Journal of changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;To</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analyte</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kind</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Operator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Check the chain</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export CSV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The journal is kept in the database, which is not open.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export the journal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Printing the journal</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinShowLimits</name>
    <message>
        <source>&amp;Limits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quality goals and Sigma</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Po&amp;wer function and decision chart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Common CV method</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinValidCQ</name>
    <message>
        <source>QC validation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date / time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Operator</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Comment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rules across levels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Westgard multirules </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discarded</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWinZScores</name>
    <message>
        <source>&amp;From</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Youden plot of</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>against</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;z-score chart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Youden p&amp;lot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Level %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UDrawChart</name>
    <message>
        <source>Common CV</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UEntryFlow</name>
    <message>
        <source>Enter data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing hold in the queue.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm data backup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup aborted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore aborted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No backup file to restore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No analyte</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UExchangeCommands</name>
    <message>
        <source>Data file of Drovanta 2 (*.dat)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Backup file of Drovanta 2 (*.sav)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No analyte to import data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bad file format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No analyte</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No analyte to paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bad clipboard format</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UInboxMapping</name>
    <message>
        <source>from the file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UMainCommands</name>
    <message>
        <source>No analyte.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UMainPages</name>
    <message>
        <source>Locked from </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> to </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fixed limits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mobile limits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Erase/archive data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Un-erase data</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UMainQuality</name>
    <message>
        <source>&amp;Quality</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Z-scores and Youden plot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Monthly summary</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Import quality goals...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import quality goals</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UPrintJob</name>
    <message>
        <source>one-sided</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No file was named for the PDF printout.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the print system gave no reason</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UQualityCharts</name>
    <message>
        <source>Level %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power function of the rules</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Systematic error (SD)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probability of rejection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program&apos;s rules</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1:3s alone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1:2s alone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No level is judged by the rules</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (% of TEa)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Method decision chart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>|Bias|</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sigma %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No level with a Sigma</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (bias?)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>z-scores of all levels: (value - mean) / SD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>z (SD)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No point in the period</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Youden plot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>z of </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No run with values of both levels</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>URisks</name>
    <message>
        <source>Unlock with the password</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UShowJournal</name>
    <message>
        <source>(all)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UValidCQ</name>
    <message>
        <source>Retrieve QC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reject QC</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
