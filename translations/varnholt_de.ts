<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Core</name>
    <message>
        <source>The reading of the inbox was cancelled; its files wait for the next reading.</source>
        <translation>Das Lesen des Eingangs wurde abgebrochen; seine Dateien warten auf das nächste Lesen.</translation>
    </message>
    <message>
        <source>The file holds more than %1 results; no instrument sends so many at once. Split it into smaller files (a history is imported per analyte). The file is not read.</source>
        <translation>Die Datei enthält mehr als %1 Ergebnisse; so viele sendet kein Gerät auf einmal. Teilen Sie sie in kleinere Dateien (eine Historie wird je Analyt importiert). Die Datei wird nicht gelesen.</translation>
    </message>
    <message>
        <source>... and %1 more</source>
        <translation>... und %1 weitere</translation>
    </message>
    <message>
        <source>An EQA result has %1 fields</source>
        <translation>Ein Ringversuchsergebnis hat %1 Felder</translation>
    </message>
    <message>
        <source>An unacceptable EQA result is answered with the corrective action taken</source>
        <translation>Auf ein inakzeptables Ringversuchsergebnis wird mit der ergriffenen Korrekturmaßnahme geantwortet</translation>
    </message>
    <message>
        <source>No EQA result of %1 is recorded for %2</source>
        <translation>Für %2 ist kein Ringversuchsergebnis von %1 erfasst</translation>
    </message>
    <message>
        <source>The EQA result %1 of %2 is not unacceptable</source>
        <translation>Das Ringversuchsergebnis %1 von %2 ist nicht inakzeptabel</translation>
    </message>
    <message>
        <source>The analytes were saved, but their patient-based QC was not carried over:<byte value="xd"/>%1</source>
        <translation>Die Analyten wurden gespeichert, aber ihre patientenbasierte QK wurde nicht übernommen:<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Give at least one bias to simulate</source>
        <translation>Geben Sie mindestens eine Abweichung zum Simulieren an</translation>
    </message>
    <message>
        <source>Each bias must be a number other than 0 (a percentage above -100)</source>
        <translation>Jede Abweichung muss eine Zahl ungleich 0 sein (ein Prozentsatz über -100)</translation>
    </message>
    <message>
        <source>Line %1: a field is longer than %2 KiB; no instrument writes such a field. The file is not read.</source>
        <translation>Zeile %1: Ein Feld ist länger als %2 KiB; kein Gerät schreibt ein solches Feld. Die Datei wird nicht gelesen.</translation>
    </message>
    <message>
        <source>The message at line %1 is larger than %2 MB; no instrument sends such a message. The file is not read.</source>
        <translation>Die Nachricht in Zeile %1 ist größer als %2 MB; kein Gerät sendet eine solche Nachricht. Die Datei wird nicht gelesen.</translation>
    </message>
    <message>
        <source>The message at line %1 holds more than %2 results; no instrument sends such a message. The file is not read.</source>
        <translation>Die Nachricht in Zeile %1 enthält mehr als %2 Ergebnisse; kein Gerät sendet eine solche Nachricht. Die Datei wird nicht gelesen.</translation>
    </message>
    <message>
        <source>Patient-based QC is kept only in a folder&apos;s database</source>
        <translation>Die patientenbasierte QK wird nur in der Datenbank eines Ordners geführt</translation>
    </message>
    <message>
        <source>Cannot write the patient-based QC: the folder is open for reading</source>
        <translation>Die patientenbasierte QK kann nicht geschrieben werden: der Ordner ist nur zum Lesen geöffnet</translation>
    </message>
    <message>
        <source>Patient-based QC cannot be kept: the database %1%2 is not available</source>
        <translation>Die patientenbasierte QK kann nicht gespeichert werden: die Datenbank %1%2 ist nicht verfügbar</translation>
    </message>
    <message>
        <source>The retention must be from 1 to 36500 days</source>
        <translation>Die Aufbewahrung muss 1 bis 36500 Tage betragen</translation>
    </message>
    <message>
        <source>A patient result stream needs a source and a test code</source>
        <translation>Ein Strom von Patientenergebnissen braucht eine Quelle und einen Testcode</translation>
    </message>
    <message>
        <source>No analyte is mapped to the patient results %1 %2</source>
        <translation>Den Patientenergebnissen %1 %2 ist kein Analyt zugeordnet</translation>
    </message>
    <message>
        <source>Line %1: expected YYYY-MM-DD HH:MM:SS, a tab and the value</source>
        <translation>Zeile %1: erwartet YYYY-MM-DD HH:MM:SS, ein Tabulator und der Wert</translation>
    </message>
    <message>
        <source>N must be a whole number from 1 to %1</source>
        <translation>N muss eine ganze Zahl von 1 bis %1 sein</translation>
    </message>
    <message>
        <source>Lambda must be above 0 and at most 1</source>
        <translation>Lambda muss größer als 0 und höchstens 1 sein</translation>
    </message>
    <message>
        <source>The truncation limits must be numbers, the lower one below the upper one</source>
        <translation>Die Trunkierungsgrenzen müssen Zahlen sein, die untere unter der oberen</translation>
    </message>
    <message>
        <source>The control limits must be numbers, the lower one below the upper one</source>
        <translation>Die Kontrollgrenzen müssen Zahlen sein, die untere unter der oberen</translation>
    </message>
    <message>
        <source>Too few results to propose limits: %1, at least %2 are needed</source>
        <translation>Zu wenige Ergebnisse, um Grenzen vorzuschlagen: %1, mindestens %2 sind nötig</translation>
    </message>
    <message>
        <source>The results vary too little to propose limits</source>
        <translation>Die Ergebnisse streuen zu wenig, um Grenzen vorzuschlagen</translation>
    </message>
    <message>
        <source>The number of runs must be from 1 to %1</source>
        <translation>Die Zahl der Durchläufe muss von 1 bis %1 reichen</translation>
    </message>
    <message>
        <source>The bias must be a number</source>
        <translation>Die systematische Abweichung muss eine Zahl sein</translation>
    </message>
    <message>
        <source>Too few results to simulate: %1, at least %2 are needed</source>
        <translation>Zu wenige Ergebnisse für eine Simulation: %1, mindestens %2 sind nötig</translation>
    </message>
    <message>
        <source>1 result has no control identification: patient result? set the source&apos;s control field</source>
        <translation>1 Ergebnis hat keine Kontrollkennung: ein Patientenergebnis? Legen Sie das Kontrollfeld der Quelle fest</translation>
    </message>
    <message>
        <source>%1 results have no control identification: patient results? set the source&apos;s control field</source>
        <translation>%1 Ergebnisse haben keine Kontrollkennung: Patientenergebnisse? Legen Sie das Kontrollfeld der Quelle fest</translation>
    </message>
    <message>
        <source>1 result is not marked as QC and its control is not mapped: patient result? map its control or set the source&apos;s QC options</source>
        <translation>1 Ergebnis ist nicht als QK gekennzeichnet und seine Kontrolle ist nicht zugeordnet: ein Patientenergebnis? Ordnen Sie die Kontrolle zu oder legen Sie die QK-Optionen der Quelle fest</translation>
    </message>
    <message>
        <source>%1 results are not marked as QC and their controls are not mapped: patient results? map their controls or set the source&apos;s QC options</source>
        <translation>%1 Ergebnisse sind nicht als QK gekennzeichnet und ihre Kontrollen sind nicht zugeordnet: Patientenergebnisse? Ordnen Sie die Kontrollen zu oder legen Sie die QK-Optionen der Quelle fest</translation>
    </message>
    <message>
        <source>Unknown rule: %1</source>
        <translation>Unbekannte Regel: %1</translation>
    </message>
    <message>
        <source>A rule set needs at least one reject rule</source>
        <translation>Ein Regelsatz braucht mindestens eine Zurückweisungsregel</translation>
    </message>
    <message>
        <source>%1 cannot both reject and warn</source>
        <translation>%1 kann nicht zugleich zurückweisen und warnen</translation>
    </message>
    <message>
        <source>Nothing imported: the dates are written as %1, not as %2 (line %3: %4); read the file with the date format %1.</source>
        <translation>Nichts importiert: Die Daten sind als %1 geschrieben, nicht als %2 (Zeile %3: %4); lesen Sie die Datei mit dem Datumsformat %1.</translation>
    </message>
    <message>
        <source>Nothing imported: the dates are written in two orders. The date of line %1 (%2) fits only %3, that of line %4 (%5) only %6.</source>
        <translation>Nichts importiert: Die Daten sind in zwei Reihenfolgen geschrieben. Das Datum der Zeile %1 (%2) passt nur zu %3, das der Zeile %4 (%5) nur zu %6.</translation>
    </message>
    <message>
        <source>a zero byte ends the text here, not read</source>
        <translation>ein Nullbyte beendet hier den Text, nicht gelesen</translation>
    </message>
    <message>
        <source>There is not enough room in %1 for the backup (%2 KB needed, %3 KB free). Backup aborted</source>
        <translation>In %1 ist nicht genug Platz für die Sicherung (%2 KB nötig, %3 KB frei). Sicherung abgebrochen</translation>
    </message>
    <message>
        <source>Cannot write %1: the queue holds at most %2 runs</source>
        <translation>%1 kann nicht geschrieben werden: die Warteschlange fasst höchstens %2 Serien</translation>
    </message>
    <message>
        <source>The queue is full (%1 held runs): %2 runs from the instruments wait until held runs are recalled.</source>
        <translation>Die Warteschlange ist voll (%1 Serien): %2 Serien der Geräte warten, bis Serien aus der Warteschlange abgerufen werden.</translation>
    </message>
    <message>
        <source>Give a reason for removing a file</source>
        <translation>Geben Sie einen Grund für das Entfernen der Datei an</translation>
    </message>
    <message>
        <source>Give a reason for discarding results</source>
        <translation>Geben Sie einen Grund für das Verwerfen der Ergebnisse an</translation>
    </message>
    <message>
        <source>Cannot remove %1: %2</source>
        <translation>%1 kann nicht entfernt werden: %2</translation>
    </message>
    <message>
        <source>No results of %1 wait for a mapping</source>
        <translation>Keine Ergebnisse von %1 warten auf eine Zuordnung</translation>
    </message>
    <message>
        <source>given by the file</source>
        <translation>aus der Datei</translation>
    </message>
    <message>
        <source>Runs already held in the queue from %1 %2 %3 stay as they were read under the former mapping (%4 level %5): check them there before accepting them.</source>
        <translation>Bereits in der Warteschlange gehaltene Läufe von %1 %2 %3 bleiben, wie sie unter der früheren Zuordnung (%4 Level %5) gelesen wurden: Prüfen Sie sie dort, bevor Sie sie übernehmen.</translation>
    </message>
    <message>
        <source>%1 %2 %3 is already mapped to %4 level %5: replacing that mapping needs a confirmation</source>
        <translation>%1 %2 %3 ist bereits %4 Level %5 zugeordnet: Das Ersetzen dieser Zuordnung muss bestätigt werden</translation>
    </message>
    <message>
        <source>The points of %1 from %2 to %3 were already reviewed and signed by %4 on %5</source>
        <translation>Die Punkte von %1 vom %2 bis %3 wurden bereits von %4 am %5 geprüft und freigegeben</translation>
    </message>
    <message>
        <source>%1 has no runs from %2 to %3: there is nothing to sign</source>
        <translation>%1 hat vom %2 bis %3 keine Läufe: Es gibt nichts freizugeben</translation>
    </message>
    <message>
        <source>%1 has no password and the program has none: a review is signed with a password. Give %1 a password under Operators, or set the program&apos;s.</source>
        <translation>%1 hat kein Passwort und das Programm auch nicht: Eine Prüfung wird mit einem Passwort freigegeben. Geben Sie %1 unter Bediener ein Passwort oder setzen Sie das des Programms.</translation>
    </message>
    <message>
        <source>%1 may not sign reviews: a supervisor signs them</source>
        <translation>%1 darf keine Prüfungen freigeben: Das tut ein Supervisor</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Cannot write %1: it is a link to a missing file</source>
        <translation>%1 kann nicht geschrieben werden: Es ist ein Verweis auf eine fehlende Datei</translation>
    </message>
    <message>
        <source>No archive number left</source>
        <translation>Keine Archivnummer mehr frei</translation>
    </message>
    <message>
        <source>Cannot list %1: %2</source>
        <translation>%1 kann nicht aufgelistet werden: %2</translation>
    </message>
    <message>
        <source>Nothing to archive</source>
        <translation>Nichts zu archivieren</translation>
    </message>
    <message>
        <source>Not an archive file</source>
        <translation>Keine Archivdatei</translation>
    </message>
    <message>
        <source>Damaged predecessor file: %1</source>
        <translation>Beschädigte Datei des Vorgängerprogramms: %1</translation>
    </message>
    <message>
        <source>Damaged data file: %1</source>
        <translation>Beschädigte Datendatei: %1</translation>
    </message>
    <message>
        <source>Database error: %1: %2</source>
        <translation>Datenbankfehler: %1: %2</translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Database error: %1 (%2)</source>
        <translation>Datenbankfehler: %1 (%2)</translation>
    </message>
    <message>
        <source>The damaged database %1 could not be kept aside</source>
        <translation>Die beschädigte Datenbank %1 konnte nicht beiseitegelegt werden</translation>
    </message>
    <message>
        <source>Cannot read %1</source>
        <translation>%1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>The database %1 was written by a newer Varnholt (%2 %3); this one cannot use it</source>
        <translation>Die Datenbank %1 wurde von einem neueren Varnholt geschrieben (%2 %3); dieses kann sie nicht verwenden</translation>
    </message>
    <message>
        <source>The database is not open</source>
        <translation>Die Datenbank ist nicht geöffnet</translation>
    </message>
    <message>
        <source>Damaged queue file: more entries than any queue holds</source>
        <translation>Beschädigte Warteschlangendatei: mehr Einträge, als eine Warteschlange fasst</translation>
    </message>
    <message>
        <source>Damaged queue file: date is not a number</source>
        <translation>Beschädigte Warteschlangendatei: Datum ist keine Zahl</translation>
    </message>
    <message>
        <source>Damaged queue file: state out of range</source>
        <translation>Beschädigte Warteschlangendatei: Status außerhalb des Bereichs</translation>
    </message>
    <message>
        <source>Damaged queue file: value is not a number</source>
        <translation>Beschädigte Warteschlangendatei: Wert ist keine Zahl</translation>
    </message>
    <message>
        <source>Damaged queue file: an entry without an analyte</source>
        <translation>Beschädigte Warteschlangendatei: ein Eintrag ohne Analyt</translation>
    </message>
    <message>
        <source>Cannot read the inbox folder %1: %2</source>
        <translation>Der Eingangsordner %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1: %2</source>
        <translation>Der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Cannot move %1 to %2: %3</source>
        <translation>%1 kann nicht nach %2 verschoben werden: %3</translation>
    </message>
    <message>
        <source>Cannot move %1: every name in %2 is taken</source>
        <translation>%1 kann nicht verschoben werden: Jeder Name in %2 ist vergeben</translation>
    </message>
    <message>
        <source>The inbox folder %1 does not exist</source>
        <translation>Der Eingangsordner %1 existiert nicht</translation>
    </message>
    <message>
        <source>Reading options: %1 must be yes or no, not &quot;%2&quot;.</source>
        <translation>Leseoptionen: %1 muss yes oder no sein, nicht „%2“.</translation>
    </message>
    <message>
        <source>Reading options: %1 cannot be &quot;%2&quot;.</source>
        <translation>Leseoptionen: %1 darf nicht „%2“ sein.</translation>
    </message>
    <message>
        <source>The file begins inside an ASTM message: its first record is not a header (H) record. It may be the rest of a message split across files.</source>
        <translation>Die Datei beginnt mitten in einer ASTM-Nachricht: Ihr erster Datensatz ist kein Kopfsatz (H). Es kann der Rest einer auf mehrere Dateien verteilten Nachricht sein.</translation>
    </message>
    <message>
        <source>The file begins inside an HL7 message: its first segment is not a header (MSH). It may be the rest of a message split across files.</source>
        <translation>Die Datei beginnt mitten in einer HL7-Nachricht: Ihr erstes Segment ist kein Kopfsegment (MSH). Es kann der Rest einer auf mehrere Dateien verteilten Nachricht sein.</translation>
    </message>
    <message>
        <source>Unknown format: the file is neither delimited text (tab, semicolon or comma), ASTM nor HL7.</source>
        <translation>Unbekanntes Format: Die Datei ist weder Text mit Trennzeichen (Tabulator, Semikolon oder Komma) noch ASTM oder HL7.</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; names no H, P, O or R record.</source>
        <translation>%1 „%2“ nennt keinen H-, P-, O- oder R-Datensatz.</translation>
    </message>
    <message>
        <source>No column separator (tab, semicolon or comma) in the first line.</source>
        <translation>Kein Spaltentrennzeichen (Tabulator, Semikolon oder Komma) in der ersten Zeile.</translation>
    </message>
    <message>
        <source>The column mapping gives no column for the %1.</source>
        <translation>Die Spaltenzuordnung nennt keine Spalte für %1.</translation>
    </message>
    <message>
        <source>The column mapping&apos;s %1 column %2 is not a column number.</source>
        <translation>Die Spalte %2 für %1 in der Spaltenzuordnung ist keine Spaltennummer.</translation>
    </message>
    <message>
        <source>The column mapping names the %1 column &quot;%2&quot;, but the files have no header line.</source>
        <translation>Die Spaltenzuordnung nennt für %1 die Spalte „%2“, aber die Dateien haben keine Kopfzeile.</translation>
    </message>
    <message>
        <source>The header line has no column &quot;%1&quot; (the %2).</source>
        <translation>Die Kopfzeile hat keine Spalte „%1“ (%2).</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is not a field reference such as O-3 or OBR-3.1</source>
        <translation>%1 „%2“ ist kein Feldverweis wie O-3 oder OBR-3.1</translation>
    </message>
    <message>
        <source>The hashing library could not be started</source>
        <translation>Die Hash-Bibliothek konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>Journal entry %1 %2</source>
        <translation>Journaleintrag %1 %2</translation>
    </message>
    <message>
        <source>Not enough memory to protect the password</source>
        <translation>Nicht genug Speicher, um das Passwort zu schützen</translation>
    </message>
    <message>
        <source>%1.<byte value="xd"/>The password, the operators and the backup folder were lost: set them again in the Configuration menu.</source>
        <translation>%1.<byte value="xd"/>Das Passwort, die Bediener und der Sicherungsordner gingen verloren: Legen Sie sie im Menü Konfiguration neu fest.</translation>
    </message>
    <message>
        <source>Cannot read data: %1 is missing</source>
        <translation>Daten können nicht gelesen werden: %1 fehlt</translation>
    </message>
    <message>
        <source>Cannot read data: %1</source>
        <translation>Daten können nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The unreadable data file %1 could not be kept aside; it will not be overwritten.</source>
        <translation>Die unlesbare Datendatei %1 konnte nicht beiseitegelegt werden; sie wird nicht überschrieben.</translation>
    </message>
    <message>
        <source>The unreadable data file was kept as %1</source>
        <translation>Die unlesbare Datendatei wurde als %1 aufbewahrt</translation>
    </message>
    <message>
        <source>The folder %1 does not exist</source>
        <translation>Der Ordner %1 existiert nicht</translation>
    </message>
    <message>
        <source>The damaged database was kept as %1; a new one was started.</source>
        <translation>Die beschädigte Datenbank wurde als %1 aufbewahrt; eine neue wurde angelegt.</translation>
    </message>
    <message>
        <source>Cannot save data<byte value="xd"/>%1</source>
        <translation>Daten können nicht gespeichert werden<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>%1. The journal was changed outside Varnholt or damaged; it is kept as it is and goes on.</source>
        <translation>%1. Das Journal wurde außerhalb von Varnholt geändert oder ist beschädigt; es bleibt, wie es ist, und wird fortgeführt.</translation>
    </message>
    <message>
        <source>The data file %1 is not the one Varnholt last wrote: it was changed outside Varnholt, or damaged. Check its contents, or restore a backup.</source>
        <translation>Die Datendatei %1 ist nicht die, die Varnholt zuletzt geschrieben hat: Sie wurde außerhalb von Varnholt geändert oder ist beschädigt. Prüfen Sie ihren Inhalt oder stellen Sie eine Sicherung wieder her.</translation>
    </message>
    <message>
        <source>Cannot write %1: the folder is open for reading</source>
        <translation>%1 kann nicht geschrieben werden: Der Ordner ist nur zum Lesen geöffnet</translation>
    </message>
    <message>
        <source>Cannot write %1: the unreadable data file could not be kept aside</source>
        <translation>%1 kann nicht geschrieben werden: Die unlesbare Datendatei konnte nicht beiseitegelegt werden</translation>
    </message>
    <message>
        <source>Cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Unable to save fifo<byte value="xd"/>%1</source>
        <translation>Die Warteschlange kann nicht gespeichert werden<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Nothing hold in the queue</source>
        <translation>Keine Ergebnisse in der Warteschlange</translation>
    </message>
    <message>
        <source>Nothing hold in the queue.</source>
        <translation>Keine Ergebnisse in der Warteschlange.</translation>
    </message>
    <message>
        <source>No run with a value in the levels of %1</source>
        <translation>Keine Serie mit einem Wert in den Ebenen von %1</translation>
    </message>
    <message>
        <source>Cannot read data</source>
        <translation>Daten können nicht gelesen werden</translation>
    </message>
    <message>
        <source>No analyte in %1</source>
        <translation>Kein Analyt in %1</translation>
    </message>
    <message>
        <source>Give a reason for deleting points</source>
        <translation>Geben Sie einen Grund für das Löschen der Punkte an</translation>
    </message>
    <message>
        <source>No point to delete</source>
        <translation>Kein Punkt zum Löschen</translation>
    </message>
    <message>
        <source>No point to edit</source>
        <translation>Kein Punkt zum Bearbeiten</translation>
    </message>
    <message>
        <source>Give a reason for correcting the point</source>
        <translation>Geben Sie einen Grund für die Korrektur des Punkts an</translation>
    </message>
    <message>
        <source>A point taken out for correction when Varnholt last ended was put in the queue.</source>
        <translation>Ein Punkt, der beim letzten Beenden von Varnholt zur Korrektur herausgenommen war, wurde in die Warteschlange gestellt.</translation>
    </message>
    <message>
        <source>Nothing to erase</source>
        <translation>Nichts zu löschen</translation>
    </message>
    <message>
        <source>Give a reason for deleting archives</source>
        <translation>Geben Sie einen Grund für das Löschen der Archive an</translation>
    </message>
    <message>
        <source>Give a reason for changing and erasing</source>
        <translation>Geben Sie einen Grund für das Ändern und Löschen an</translation>
    </message>
    <message>
        <source>Backup aborted</source>
        <translation>Sicherung abgebrochen</translation>
    </message>
    <message>
        <source>The backup in %1 holds %2, more than the %3 of the data now: it was not replaced. Backup aborted</source>
        <translation>Die Sicherung in %1 enthält %2, mehr als die %3 der aktuellen Daten: Sie wurde nicht ersetzt. Sicherung abgebrochen</translation>
    </message>
    <message>
        <source>The older backup %1 was removed to make room for the new one.</source>
        <translation>Die ältere Sicherung %1 wurde entfernt, um Platz für die neue zu schaffen.</translation>
    </message>
    <message>
        <source>The data was backed up, but not the database:<byte value="xd"/>%1</source>
        <translation>Die Daten wurden gesichert, aber nicht die Datenbank:<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Restore aborted</source>
        <translation>Wiederherstellung abgebrochen</translation>
    </message>
    <message>
        <source>No backup file to restore</source>
        <translation>Keine Sicherungsdatei zum Wiederherstellen</translation>
    </message>
    <message>
        <source>Impossible to restore</source>
        <translation>Wiederherstellung nicht möglich</translation>
    </message>
    <message>
        <source>Impossible to restore<byte value="xd"/>%1</source>
        <translation>Wiederherstellung nicht möglich<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Restored from %1, the newest complete backup.</source>
        <translation>Aus %1 wiederhergestellt, der neuesten vollständigen Sicherung.</translation>
    </message>
    <message>
        <source>The data was restored, but not the database:<byte value="xd"/>%1</source>
        <translation>Die Daten wurden wiederhergestellt, aber nicht die Datenbank:<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>%1: TEa must be above zero</source>
        <translation>%1: TEa muss größer als null sein</translation>
    </message>
    <message>
        <source>%1: target of level %2 is not a number</source>
        <translation>%1: Sollwert der Ebene %2 ist keine Zahl</translation>
    </message>
    <message>
        <source>%1: target of level %2 is zero</source>
        <translation>%1: Sollwert der Ebene %2 ist null</translation>
    </message>
    <message>
        <source>%1: a TEa unit without a TEa</source>
        <translation>%1: eine TEa-Einheit ohne TEa</translation>
    </message>
    <message>
        <source>Cannot write the quality goals: the folder is open for reading</source>
        <translation>Die Qualitätsziele können nicht geschrieben werden: Der Ordner ist nur zum Lesen geöffnet</translation>
    </message>
    <message>
        <source>The quality goals cannot be kept: the database %1%2 is not available</source>
        <translation>Die Qualitätsziele können nicht gespeichert werden: Die Datenbank %1%2 ist nicht verfügbar</translation>
    </message>
    <message>
        <source>Unknown analyte: %1</source>
        <translation>Unbekannter Analyt: %1</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 ist doppelt angegeben</translation>
    </message>
    <message>
        <source>Skipped, no analyte of that name: %1</source>
        <translation>Übersprungen, kein Analyt dieses Namens: %1</translation>
    </message>
    <message>
        <source>Damaged inbox record in the database</source>
        <translation>Beschädigter Eingangsdatensatz in der Datenbank</translation>
    </message>
    <message>
        <source>The inbox folder %1 cannot be the program folder or the folder holding it</source>
        <translation>Der Eingangsordner %1 darf weder der Programmordner noch der ihn enthaltende Ordner sein</translation>
    </message>
    <message>
        <source>The folder is open for reading only</source>
        <translation>Der Ordner ist nur zum Lesen geöffnet</translation>
    </message>
    <message>
        <source>The inbox settings need the database %1</source>
        <translation>Die Eingangseinstellungen benötigen die Datenbank %1</translation>
    </message>
    <message>
        <source>The time window of a run must be more than 0 and at most 1440 minutes</source>
        <translation>Das Zeitfenster einer Serie muss größer als 0 und höchstens 1440 Minuten sein</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot name a source: it names a subfolder of the inbox</source>
        <translation>„%1“ kann keine Quelle benennen: Es bezeichnet einen Unterordner des Eingangsordners</translation>
    </message>
    <message>
        <source>The reading options need the database %1</source>
        <translation>Die Leseoptionen benötigen die Datenbank %1</translation>
    </message>
    <message>
        <source>The reading options of %1 do not read back as given</source>
        <translation>Die Leseoptionen von %1 werden nicht so zurückgelesen, wie sie angegeben wurden</translation>
    </message>
    <message>
        <source>The mapping needs the database %1</source>
        <translation>Die Zuordnung benötigt die Datenbank %1</translation>
    </message>
    <message>
        <source>The patient results of %1 %2 were not kept: %3</source>
        <translation>Die Patientenergebnisse von %1 %2 wurden nicht gespeichert: %3</translation>
    </message>
    <message>
        <source>Patient-based QC alarm for %1 (%2): the statistic left its limits at %3</source>
        <translation>Alarm der patientenbasierten QK für %1 (%2): die Statistik hat ihre Grenzen um %3 verlassen</translation>
    </message>
    <message>
        <source>No mapping for %1 %2 %3</source>
        <translation>Keine Zuordnung für %1 %2 %3</translation>
    </message>
    <message>
        <source>Unable to save fifo<byte value="xd"/>%1<byte value="xd"/>The results from the instruments are kept and placed at the next reading.</source>
        <translation>Die Warteschlange kann nicht gespeichert werden<byte value="xd"/>%1<byte value="xd"/>Die Ergebnisse der Geräte bleiben erhalten und werden beim nächsten Einlesen übernommen.</translation>
    </message>
    <message>
        <source>Cannot save data<byte value="xd"/>%1<byte value="xd"/>The results from the instruments are kept and placed at the next reading.</source>
        <translation>Daten können nicht gespeichert werden<byte value="xd"/>%1<byte value="xd"/>Die Ergebnisse der Geräte bleiben erhalten und werden beim nächsten Einlesen übernommen.</translation>
    </message>
    <message>
        <source>A mapping needs a source and a test code</source>
        <translation>Eine Zuordnung braucht eine Quelle und einen Testcode</translation>
    </message>
    <message>
        <source>The inbox is read by the program or a writing command, not by a reading one</source>
        <translation>Der Eingangsordner wird vom Programm oder einem schreibenden Befehl gelesen, nicht von einem lesenden</translation>
    </message>
    <message>
        <source>The inbox needs the database %1%2</source>
        <translation>Der Eingangsordner benötigt die Datenbank %1%2</translation>
    </message>
    <message>
        <source>No inbox folder is set: choose one in Configuration &gt; Inbox (or give --inbox DIR)</source>
        <translation>Kein Eingangsordner festgelegt: Wählen Sie einen unter Konfiguration &gt; Eingang (oder geben Sie --inbox DIR an)</translation>
    </message>
    <message>
        <source>Cannot write %1: the journal could not be written: %2</source>
        <translation>%1 kann nicht geschrieben werden: Das Journal konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The journal could not be completed.</source>
        <translation>Das Journal konnte nicht vervollständigt werden.</translation>
    </message>
    <message>
        <source>The list of corrective actions cannot be empty</source>
        <translation>Die Liste der Korrekturmaßnahmen darf nicht leer sein</translation>
    </message>
    <message>
        <source>The corrective actions are kept in the database, which is not open</source>
        <translation>Die Korrekturmaßnahmen werden in der Datenbank geführt, die nicht geöffnet ist</translation>
    </message>
    <message>
        <source>An operator code has 1 to 4 characters</source>
        <translation>Ein Bedienerkürzel hat 1 bis 4 Zeichen</translation>
    </message>
    <message>
        <source>The operators&apos; passwords are kept in the database, which is not open</source>
        <translation>Die Passwörter der Bediener werden in der Datenbank geführt, die nicht geöffnet ist</translation>
    </message>
    <message>
        <source>The points of %1 from %2 to %3 were reviewed and signed by %4 on %5: a change inside that period needs a reason.</source>
        <translation>Die Punkte von %1 vom %2 bis %3 wurden von %4 am %5 geprüft und freigegeben: Eine Änderung in diesem Zeitraum braucht einen Grund.</translation>
    </message>
    <message>
        <source>The end of the period precedes its start</source>
        <translation>Das Ende des Zeitraums liegt vor seinem Beginn</translation>
    </message>
    <message>
        <source>Unknown operator: %1</source>
        <translation>Unbekannter Bediener: %1</translation>
    </message>
    <message>
        <source>Wrong password for %1</source>
        <translation>Falsches Passwort für %1</translation>
    </message>
    <message>
        <source>Reviews are kept in the database, which is not open</source>
        <translation>Prüfungen werden in der Datenbank geführt, die nicht geöffnet ist</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a month (YYYY-MM)</source>
        <translation>„%1“ ist kein Monat (JJJJ-MM)</translation>
    </message>
    <message>
        <source>Not a month</source>
        <translation>Kein Monat</translation>
    </message>
    <message>
        <source>The last month is before the first</source>
        <translation>Der letzte Monat liegt vor dem ersten</translation>
    </message>
    <message>
        <source>At most 1200 months at once</source>
        <translation>Höchstens 1200 Monate auf einmal</translation>
    </message>
    <message>
        <source>more than five fields (analyte;TEa;target1;target2;target3)</source>
        <translation>mehr als fünf Felder (Analyt;TEa;Sollwert1;Sollwert2;Sollwert3)</translation>
    </message>
    <message>
        <source>no analyte name</source>
        <translation>kein Analytname</translation>
    </message>
    <message>
        <source>no TEa for %1</source>
        <translation>keine TEa für %1</translation>
    </message>
    <message>
        <source>TEa &apos;%1&apos; is not a number</source>
        <translation>TEa „%1“ ist keine Zahl</translation>
    </message>
    <message>
        <source>TEa must be above zero, not %1</source>
        <translation>TEa muss größer als null sein, nicht %1</translation>
    </message>
    <message>
        <source>target of level %1 &apos;%2&apos; is not a number</source>
        <translation>Sollwert der Ebene %1 „%2“ ist keine Zahl</translation>
    </message>
    <message>
        <source>target of level %1 is zero</source>
        <translation>Sollwert der Ebene %1 ist null</translation>
    </message>
    <message>
        <source>%1%2 appears twice</source>
        <translation>%1%2 kommt doppelt vor</translation>
    </message>
    <message>
        <source>TEa of %1 is given in %2, the analyte&apos;s unit is %3</source>
        <translation>TEa von %1 ist in %2 angegeben, die Einheit des Analyten ist %3</translation>
    </message>
    <message>
        <source>%1 has %2 level(s): no target for level %3</source>
        <translation>%1 hat %2 Ebene(n): kein Sollwert für Ebene %3</translation>
    </message>
    <message>
        <source>Damaged comment list: identifiers out of order</source>
        <translation>Beschädigte Kommentarliste: Kennungen nicht in Reihenfolge</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>„%1“ ist kein gültiger Ganzzahlwert</translation>
    </message>
    <message>
        <source>%1 is too high
<byte value="xd"/>Maximum allowed = %2</source>
        <translation>%1 ist zu hoch
<byte value="xd"/>Höchstens erlaubt = %2</translation>
    </message>
    <message>
        <source>%1 is too low
<byte value="xd"/>Minimum allowed = %2</source>
        <translation>%1 ist zu niedrig
<byte value="xd"/>Mindestens erlaubt = %2</translation>
    </message>
    <message>
        <source>Incorrect floating number</source>
        <translation>Ungültige Gleitkommazahl</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>„%1“ ist kein gültiger Gleitkommawert</translation>
    </message>
    <message>
        <source>%1 is a negative value (not allowed)</source>
        <translation>%1 ist ein negativer Wert (nicht erlaubt)</translation>
    </message>
    <message>
        <source>no allowable total error (TEa) set</source>
        <translation>keine zulässige Gesamtabweichung (TEa) festgelegt</translation>
    </message>
    <message>
        <source>TEa must be above zero</source>
        <translation>TEa muss größer als null sein</translation>
    </message>
    <message>
        <source>no target</source>
        <translation>kein Sollwert</translation>
    </message>
    <message>
        <source>target is zero</source>
        <translation>Sollwert ist null</translation>
    </message>
    <message>
        <source>fewer than two values</source>
        <translation>weniger als zwei Werte</translation>
    </message>
    <message>
        <source>mean is zero</source>
        <translation>Mittelwert ist null</translation>
    </message>
    <message>
        <source>CV is zero (all values equal)</source>
        <translation>VK ist null (alle Werte gleich)</translation>
    </message>
    <message>
        <source>Sigma below 1.65</source>
        <translation>Sigma unter 1,65</translation>
    </message>
    <message>
        <source>no level takes part in the rules</source>
        <translation>keine Ebene nimmt an den Regeln teil</translation>
    </message>
    <message>
        <source>Line %1: </source>
        <translation>Zeile %1: </translation>
    </message>
    <message>
        <source>Journal entry %1 cannot be shown to be the last one written: the server&apos;s record of it is gone</source>
        <translation>Es lässt sich nicht nachweisen, dass Journaleintrag %1 der zuletzt geschriebene ist: Der Nachweis des Servers dazu fehlt</translation>
    </message>
    <message>
        <source>The journal could not be checked: %1</source>
        <translation>Das Journal konnte nicht geprüft werden: %1</translation>
    </message>
    <message>
        <source>The records go into a folder opened for writing</source>
        <translation>Die Aufzeichnungen gehen in einen zum Schreiben geöffneten Ordner</translation>
    </message>
    <message>
        <source>The database of %1 is not available</source>
        <translation>Die Datenbank von %1 ist nicht verfügbar</translation>
    </message>
    <message>
        <source>The folder %1 already keeps records of its own</source>
        <translation>Der Ordner %1 führt bereits eigene Aufzeichnungen</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation>%1 oder %2</translation>
    </message>
    <message>
        <source>Advised (%1): %2 with %3.
</source>
        <translation>Empfohlen (%1): %2 mit %3.
</translation>
    </message>
    <message>
        <source>No level is judged by the rules.
</source>
        <translation>Keine Ebene wird nach den Regeln beurteilt.
</translation>
    </message>
    <message>
        <source>Applied: %1 (multirules on).
</source>
        <translation>Angewandt: %1 (Westgard-Regeln ein).
</translation>
    </message>
    <message>
        <source>Applied: %1 (multirules off).
</source>
        <translation>Angewandt: %1 (Westgard-Regeln aus).
</translation>
    </message>
    <message>
        <source>The program applies exactly the advised rules.
</source>
        <translation>Das Programm wendet genau die empfohlenen Regeln an.
</translation>
    </message>
    <message>
        <source>Advised but not applied: %1.</source>
        <translation>Empfohlen, aber nicht angewandt: %1.</translation>
    </message>
    <message>
        <source> The program&apos;s 10:m waits for ten values on one side of the mean.</source>
        <translation> Die Regel 10:m des Programms wartet auf zehn Werte auf einer Seite des Mittelwerts.</translation>
    </message>
    <message>
        <source> The program&apos;s 9:m waits for three runs of three levels.</source>
        <translation> Die Regel 9:m des Programms wartet auf drei Serien mit drei Ebenen.</translation>
    </message>
    <message>
        <source> Switch the Westgard multirules on.</source>
        <translation> Schalten Sie die Westgard-Regeln ein.</translation>
    </message>
    <message>
        <source>Applied beyond the advice: %1; they add false rejections that this Sigma does not need.
</source>
        <translation>Über die Empfehlung hinaus angewandt: %1; sie fügen falsche Zurückweisungen hinzu, die dieses Sigma nicht braucht.
</translation>
    </message>
    <message>
        <source>A run here holds %1 value(s); the advice needs N=%2: measure each control %3 times per run.
</source>
        <translation>Eine Serie enthält hier %1 Wert(e); die Empfehlung braucht N=%2: jede Kontrolle %3-mal pro Serie messen.
</translation>
    </message>
    <message>
        <source>With %1 value(s) per run the advice spans %2 runs.
</source>
        <translation>Mit %1 Wert(en) pro Serie umfasst die Empfehlung %2 Serien.
</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>no line end, not read</source>
        <translation>kein Zeilenende, nicht gelesen</translation>
    </message>
    <message>
        <source>%1 is not a date (expected %2)</source>
        <translation>%1 ist kein Datum (erwartet: %2)</translation>
    </message>
    <message>
        <source>%1 for %2 is not taken: the analyte has %3 level</source>
        <translation>%1 für %2 wird nicht übernommen: Der Analyt hat %3 Ebene</translation>
    </message>
    <message>
        <source>%1 for %2 is not taken: the analyte has %3 levels</source>
        <translation>%1 für %2 wird nicht übernommen: Der Analyt hat %3 Ebenen</translation>
    </message>
    <message>
        <source>%1 is not a number for %2 (expected a number as %3)</source>
        <translation>%1 ist keine Zahl für %2 (erwartet eine Zahl wie %3)</translation>
    </message>
    <message>
        <source>%1 is not a number for %2</source>
        <translation>%1 ist keine Zahl für %2</translation>
    </message>
    <message>
        <source>no time, 12:00:00 taken</source>
        <translation>keine Uhrzeit, 12:00:00 angenommen</translation>
    </message>
    <message>
        <source>%1 is not a time (expected %2), 12:00:00 taken</source>
        <translation>%1 ist keine Uhrzeit (erwartet: %2), 12:00:00 angenommen</translation>
    </message>
    <message>
        <source>no value, line skipped</source>
        <translation>kein Wert, Zeile übersprungen</translation>
    </message>
    <message>
        <source>line skipped</source>
        <translation>Zeile übersprungen</translation>
    </message>
    <message>
        <source>Nothing to import: the text is empty.</source>
        <translation>Nichts zu importieren: Der Text ist leer.</translation>
    </message>
    <message>
        <source>third field</source>
        <translation>drittes Feld</translation>
    </message>
    <message>
        <source>third or fourth field</source>
        <translation>drittes oder viertes Feld</translation>
    </message>
    <message>
        <source>third, fourth or fifth field</source>
        <translation>drittes, viertes oder fünftes Feld</translation>
    </message>
    <message>
        <source>Nothing to import: a line is read when its first field is a date written as %1 and its %2 a number written as %3, the fields separated by tabs and the line ended by a line break.</source>
        <translation>Nichts zu importieren: Eine Zeile wird gelesen, wenn ihr erstes Feld ein Datum in der Form %1 und ihr %2 eine Zahl in der Form %3 ist, die Felder durch Tabulatoren getrennt und die Zeile durch einen Zeilenumbruch beendet.</translation>
    </message>
    <message>
        <source>Reading options: the field</source>
        <translation>Leseoptionen: Das Feld</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Die Datei ist leer.</translation>
    </message>
    <message>
        <source>no level given for %1</source>
        <translation>keine Ebene für %1 angegeben</translation>
    </message>
    <message>
        <source>level %1: %2 has %3 level</source>
        <translation>Ebene %1: %2 hat %3 Ebene</translation>
    </message>
    <message>
        <source>level %1: %2 has %3 levels</source>
        <translation>Ebene %1: %2 hat %3 Ebenen</translation>
    </message>
    <message>
        <source>%1; its message is left out</source>
        <translation>%1; seine Nachricht wird ausgelassen</translation>
    </message>
    <message>
        <source>record continued over frames is not finished</source>
        <translation>über mehrere Frames fortgesetzter Satz ist nicht abgeschlossen</translation>
    </message>
    <message>
        <source>The file ends inside the frame at line %1: the transmission may still be being written.</source>
        <translation>Die Datei endet innerhalb des Frames in Zeile %1: Die Übertragung wird möglicherweise noch geschrieben.</translation>
    </message>
    <message>
        <source>frame has no end (ETX or ETB)</source>
        <translation>Frame hat kein Ende (ETX oder ETB)</translation>
    </message>
    <message>
        <source>frame has no frame number</source>
        <translation>Frame hat keine Frame-Nummer</translation>
    </message>
    <message>
        <source>frame %1 has checksum %2, its text gives %3</source>
        <translation>Frame %1 hat die Prüfsumme %2, sein Text ergibt %3</translation>
    </message>
    <message>
        <source>frame %1 came where frame %2 was due</source>
        <translation>Frame %1 kam, wo Frame %2 fällig war</translation>
    </message>
    <message>
        <source>The file ends inside a record continued over frames (line %1).</source>
        <translation>Die Datei endet innerhalb eines über mehrere Frames fortgesetzten Satzes (Zeile %1).</translation>
    </message>
    <message>
        <source>The source&apos;s ASTM control field</source>
        <translation>Das ASTM-Kontrollfeld der Quelle</translation>
    </message>
    <message>
        <source>The source&apos;s ASTM level field</source>
        <translation>Das ASTM-Ebenenfeld der Quelle</translation>
    </message>
    <message>
        <source>message has no terminator record (L) before the next header; its results are left out</source>
        <translation>Nachricht hat vor dem nächsten Kopfsatz keinen Abschlusssatz (L); ihre Ergebnisse werden ausgelassen</translation>
    </message>
    <message>
        <source>header record has no delimiter definition; its message is left out</source>
        <translation>Kopfsatz hat keine Trennzeichendefinition; seine Nachricht wird ausgelassen</translation>
    </message>
    <message>
        <source>record outside a message (after its terminator record)</source>
        <translation>Satz außerhalb einer Nachricht (nach ihrem Abschlusssatz)</translation>
    </message>
    <message>
        <source>result record without an order record (O)</source>
        <translation>Ergebnissatz ohne Auftragssatz (O)</translation>
    </message>
    <message>
        <source>no test code</source>
        <translation>kein Testcode</translation>
    </message>
    <message>
        <source>no date-time</source>
        <translation>kein Datum mit Uhrzeit</translation>
    </message>
    <message>
        <source>date-time %1 cannot be read</source>
        <translation>Datum mit Uhrzeit %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>message ended with termination code %1 (aborted); its results are left out</source>
        <translation>Nachricht endete mit dem Abschlusscode %1 (abgebrochen); ihre Ergebnisse werden ausgelassen</translation>
    </message>
    <message>
        <source>unknown record type %1</source>
        <translation>unbekannter Satztyp %1</translation>
    </message>
    <message>
        <source>message has no terminator record (L) before the end of the transmission; its results are left out</source>
        <translation>Nachricht hat vor dem Ende der Übertragung keinen Abschlusssatz (L); ihre Ergebnisse werden ausgelassen</translation>
    </message>
    <message>
        <source>The file ends inside the message begun at line %1 (no terminator record L): the rest may come in a later file.</source>
        <translation>Die Datei endet innerhalb der in Zeile %1 begonnenen Nachricht (kein Abschlusssatz L): Der Rest kommt möglicherweise in einer späteren Datei.</translation>
    </message>
    <message>
        <source>instrument</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <source>test code</source>
        <translation>Testcode</translation>
    </message>
    <message>
        <source>control</source>
        <translation>Kontrolle</translation>
    </message>
    <message>
        <source>level</source>
        <translation>Ebene</translation>
    </message>
    <message>
        <source>value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>The last line (%1) stops short of its columns: the file may still be being written.</source>
        <translation>Die letzte Zeile (%1) endet vor ihren Spalten: Die Datei wird möglicherweise noch geschrieben.</translation>
    </message>
    <message>
        <source>a quoted field is not closed</source>
        <translation>ein Feld in Anführungszeichen ist nicht geschlossen</translation>
    </message>
    <message>
        <source>the line has %1 fields; the mapping reads field %2</source>
        <translation>die Zeile hat %1 Felder; die Zuordnung liest Feld %2</translation>
    </message>
    <message>
        <source>no date</source>
        <translation>kein Datum</translation>
    </message>
    <message>
        <source>date %1 cannot be read as %2</source>
        <translation>Datum %1 kann nicht als %2 gelesen werden</translation>
    </message>
    <message>
        <source>no time</source>
        <translation>keine Uhrzeit</translation>
    </message>
    <message>
        <source>time %1 cannot be read</source>
        <translation>Uhrzeit %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>The source&apos;s HL7 control field</source>
        <translation>Das HL7-Kontrollfeld der Quelle</translation>
    </message>
    <message>
        <source>The source&apos;s HL7 level field</source>
        <translation>Das HL7-Ebenenfeld der Quelle</translation>
    </message>
    <message>
        <source>observation (OBX) outside an order (OBR)</source>
        <translation>Beobachtung (OBX) außerhalb eines Auftrags (OBR)</translation>
    </message>
    <message>
        <source>text outside the MLLP blocks is not read</source>
        <translation>Text außerhalb der MLLP-Blöcke wird nicht gelesen</translation>
    </message>
    <message>
        <source>The MLLP block at line %1 is not closed: the rest of the message may come in a later file.</source>
        <translation>Der MLLP-Block in Zeile %1 ist nicht geschlossen: Der Rest der Nachricht kommt möglicherweise in einer späteren Datei.</translation>
    </message>
    <message>
        <source>MLLP block is not closed before the next one; its message is left out</source>
        <translation>MLLP-Block ist vor dem nächsten nicht geschlossen; seine Nachricht wird ausgelassen</translation>
    </message>
    <message>
        <source>The last segment (line %1) has no terminator: the file may still be being written.</source>
        <translation>Das letzte Segment (Zeile %1) hat keinen Abschluss: Die Datei wird möglicherweise noch geschrieben.</translation>
    </message>
    <message>
        <source>message header (MSH) has no valid delimiters; its message is left out</source>
        <translation>Nachrichtenkopf (MSH) hat keine gültigen Trennzeichen; seine Nachricht wird ausgelassen</translation>
    </message>
    <message>
        <source>segment outside a message</source>
        <translation>Segment außerhalb einer Nachricht</translation>
    </message>
    <message>
        <source>not a segment: %1; its message is left out</source>
        <translation>kein Segment: %1; seine Nachricht wird ausgelassen</translation>
    </message>
    <message>
        <source>no value</source>
        <translation>kein Wert</translation>
    </message>
    <message>
        <source>value %1 is out of range</source>
        <translation>Wert %1 liegt außerhalb des Bereichs</translation>
    </message>
    <message>
        <source>value %1 is not a number</source>
        <translation>Wert %1 ist keine Zahl</translation>
    </message>
    <message>
        <source>The damaged settings file %1 could not be kept aside</source>
        <translation>Die beschädigte Einstellungsdatei %1 konnte nicht beiseitegelegt werden</translation>
    </message>
    <message>
        <source>The damaged settings file was kept as %1</source>
        <translation>Die beschädigte Einstellungsdatei wurde als %1 aufbewahrt</translation>
    </message>
    <message>
        <source>The damaged queue file %1 could not be kept aside.</source>
        <translation>Die beschädigte Warteschlangendatei %1 konnte nicht beiseitegelegt werden.</translation>
    </message>
    <message>
        <source>The damaged queue file was kept as %1</source>
        <translation>Die beschädigte Warteschlangendatei wurde als %1 aufbewahrt</translation>
    </message>
    <message>
        <source>Cannot save data: the server is open for reading</source>
        <translation>Die Daten können nicht gespeichert werden: Der Server ist nur zum Lesen geöffnet</translation>
    </message>
    <message>
        <source>Cannot delete %1: %2</source>
        <translation>%1 kann nicht gelöscht werden: %2</translation>
    </message>
    <message>
        <source>The file holds no goal</source>
        <translation>Die Datei enthält kein Ziel</translation>
    </message>
    <message>
        <source>No analyte of the file is defined: nothing was imported</source>
        <translation>Kein Analyt der Datei ist definiert: Nichts wurde importiert</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>REJECT</source>
        <translation>ZURÜCKGEWIESEN</translation>
    </message>
    <message>
        <source>discarded</source>
        <translation>verworfen</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>%1 (%2), %3 to %4: %5 run, %6 warnings, %7 rejects, %8 discarded values</source>
        <translation>%1 (%2), %3 bis %4: %5 Serie, %6 Warnungen, %7 Zurückweisungen, %8 verworfene Werte</translation>
    </message>
    <message>
        <source>%1 (%2), %3 to %4: %5 runs, %6 warnings, %7 rejects, %8 discarded values</source>
        <translation>%1 (%2), %3 bis %4: %5 Serien, %6 Warnungen, %7 Zurückweisungen, %8 verworfene Werte</translation>
    </message>
    <message>
        <source>Runs and rule outcomes:</source>
        <translation>Serien und Ergebnisse der Regeln:</translation>
    </message>
    <message>
        <source>no corrective action given</source>
        <translation>keine Korrekturmaßnahme angegeben</translation>
    </message>
    <message>
        <source> of %1</source>
        <translation> vom %1</translation>
    </message>
    <message>
        <source> (reason: %1)</source>
        <translation> (Grund: %1)</translation>
    </message>
    <message>
        <source>Corrective actions:</source>
        <translation>Korrekturmaßnahmen:</translation>
    </message>
    <message>
        <source>Changes in the journal:</source>
        <translation>Änderungen im Journal:</translation>
    </message>
    <message>
        <source>Sign-offs:</source>
        <translation>Freigaben:</translation>
    </message>
    <message>
        <source>%1 to %2 signed by %3 on %4</source>
        <translation>%1 bis %2 freigegeben von %3 am %4</translation>
    </message>
    <message>
        <source>; reopened %1: %2</source>
        <translation>; wieder geöffnet %1: %2</translation>
    </message>
    <message>
        <source>CV % = 100 x SD / |mean|</source>
        <translation>VK % = 100 x SD / |Mittelwert|</translation>
    </message>
    <message>
        <source>Bias % = 100 x (mean - target) / |target|; no target: bias not known, taken as 0</source>
        <translation>Bias % = 100 x (Mittelwert - Zielwert) / |Zielwert|; ohne Zielwert: Bias unbekannt, als 0 angenommen</translation>
    </message>
    <message>
        <source>TEa % = TEa, or 100 x TEa / |mean| for a TEa in the analyte&apos;s unit</source>
        <translation>TEa % = TEa, oder 100 x TEa / |Mittelwert| bei einer TEa in der Einheit des Analyten</translation>
    </message>
    <message>
        <source>Sigma = (TEa % - |bias %|) / CV %</source>
        <translation>Sigma = (TEa % - |Bias %|) / VK %</translation>
    </message>
    <message>
        <source>Critical systematic error: dSEcrit = Sigma - 1.65 (in SD)</source>
        <translation>Kritischer systematischer Fehler: dSEcrit = Sigma - 1,65 (in SD)</translation>
    </message>
    <message>
        <source>Pfr, Ped: share of simulated runs rejected by the program&apos;s rules without systematic error and with dSEcrit (fixed seed)</source>
        <translation>Pfr, Ped: Anteil der simulierten Serien, die die Regeln des Programms ohne systematischen Fehler und mit dSEcrit zurückweisen (fester Startwert)</translation>
    </message>
    <message>
        <source>1:3s or 1:2s alone: Pfr = 1 - prod(Phi(k) - Phi(-k)), Ped = 1 - prod(Phi(k - dSE) - Phi(-k - dSE))</source>
        <translation>1:3s oder 1:2s allein: Pfr = 1 - prod(Phi(k) - Phi(-k)), Ped = 1 - prod(Phi(k - dSE) - Phi(-k - dSE))</translation>
    </message>
    <message>
        <source>%1 run</source>
        <translation>%1 Serie</translation>
    </message>
    <message>
        <source>%1 runs</source>
        <translation>%1 Serien</translation>
    </message>
    <message>
        <source>The run was saved, but the queue file could not be written:<byte value="xd"/>%1</source>
        <translation>Die Serie wurde gespeichert, aber die Warteschlangendatei konnte nicht geschrieben werden:<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>The data was backed up, but the date of the backup could not be saved:<byte value="xd"/>%1</source>
        <translation>Die Daten wurden gesichert, aber das Datum der Sicherung konnte nicht gespeichert werden:<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>The analytes were saved, but their quality goals were not carried over:<byte value="xd"/>%1</source>
        <translation>Die Analyten wurden gespeichert, aber ihre Qualitätsziele wurden nicht übernommen:<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Repeated the control and it was in range</source>
        <translation>Kontrolle wiederholt, sie lag im Bereich</translation>
    </message>
    <message>
        <source>Recalibrated</source>
        <translation>Neu kalibriert</translation>
    </message>
    <message>
        <source>New control vial</source>
        <translation>Neues Kontrollfläschchen</translation>
    </message>
    <message>
        <source>Maintenance</source>
        <translation>Wartung</translation>
    </message>
    <message>
        <source>Reagent lot changed</source>
        <translation>Reagenzcharge gewechselt</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Sonstiges</translation>
    </message>
    <message>
        <source>Give the reviewer&apos;s operator code</source>
        <translation>Geben Sie den Bedienerkürzel des Prüfers an</translation>
    </message>
    <message>
        <source>Give the reviewer&apos;s operator code (1 to 4 characters)</source>
        <translation>Geben Sie den Bedienerkürzel des Prüfers an (1 bis 4 Zeichen)</translation>
    </message>
    <message>
        <source>it ends inside a message</source>
        <translation>sie endet innerhalb einer Nachricht</translation>
    </message>
    <message>
        <source>no mapping</source>
        <translation>keine Zuordnung</translation>
    </message>
    <message>
        <source>the analyte %1 does not exist</source>
        <translation>der Analyt %1 existiert nicht</translation>
    </message>
    <message>
        <source>The runs from the instruments were saved, but not marked so in the database:<byte value="xd"/>%1</source>
        <translation>Die Serien der Geräte wurden gespeichert, aber in der Datenbank nicht als solche vermerkt:<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Level %1: %2 has %3 level</source>
        <translation>Ebene %1: %2 hat %3 Ebene</translation>
    </message>
    <message>
        <source>Level %1: %2 has %3 levels</source>
        <translation>Ebene %1: %2 hat %3 Ebenen</translation>
    </message>
    <message>
        <source>%1 (source %2): nothing of it was taken.</source>
        <translation>%1 (Quelle %2): Nichts davon wurde übernommen.</translation>
    </message>
    <message>
        <source>%1 (source %2): its other results were taken; the lines below were not. Correct them and drop the file again: what was taken is not taken twice.</source>
        <translation>%1 (Quelle %2): Die übrigen Ergebnisse wurden übernommen, die Zeilen unten nicht. Korrigieren Sie sie und legen Sie die Datei erneut ab: Was übernommen wurde, wird nicht zweimal übernommen.</translation>
    </message>
    <message>
        <source>it is being written</source>
        <translation>sie wird gerade geschrieben</translation>
    </message>
    <message>
        <source>The file is larger than %1 MB: no instrument file is.</source>
        <translation>Die Datei ist größer als %1 MB: Das ist keine Gerätedatei.</translation>
    </message>
    <message>
        <source>Operator accounts are kept on a server; this folder has none</source>
        <translation>Bedienerkonten werden auf einem Server geführt; dieser Ordner hat keine</translation>
    </message>
    <message>
        <source>Sign in: the server %1 asks for an operator code and password</source>
        <translation>Anmelden: Der Server %1 verlangt ein Bedienerkürzel und ein Passwort</translation>
    </message>
    <message>
        <source>The archive %1 is not on the server</source>
        <translation>Das Archiv %1 ist nicht auf dem Server</translation>
    </message>
    <message>
        <source>Damaged analyte %1 on the server: limits</source>
        <translation>Beschädigter Analyt %1 auf dem Server: Grenzen</translation>
    </message>
    <message>
        <source>Damaged analyte %1 on the server: fixed limits are not numbers</source>
        <translation>Beschädigter Analyt %1 auf dem Server: Feste Grenzen sind keine Zahlen</translation>
    </message>
    <message>
        <source>The server&apos;s database was set up by a newer Varnholt (%1 %2); this one cannot use it. Install the newer Varnholt on this bench.</source>
        <translation>Die Datenbank des Servers wurde von einem neueren Varnholt eingerichtet (%1 %2); dieses kann sie nicht verwenden. Installieren Sie das neuere Varnholt an diesem Arbeitsplatz.</translation>
    </message>
    <message>
        <source>The server&apos;s database holds no Varnholt data yet: migrate a folder into it, or start Varnholt on it once</source>
        <translation>Die Datenbank des Servers enthält noch keine Varnholt-Daten: Übertragen Sie einen Ordner hinein oder starten Sie Varnholt einmal darauf</translation>
    </message>
    <message>
        <source>The server&apos;s database was set up by an older Varnholt: start Varnholt on it once to bring it up to date</source>
        <translation>Die Datenbank des Servers wurde von einem älteren Varnholt eingerichtet: Starten Sie Varnholt einmal darauf, um sie zu aktualisieren</translation>
    </message>
    <message>
        <source>The server&apos;s database cannot be set up with the rights of this connection: %1</source>
        <translation>Die Datenbank des Servers kann mit den Rechten dieser Verbindung nicht eingerichtet werden: %1</translation>
    </message>
    <message>
        <source>The server %1 does not answer; nothing was changed. Try again once it answers.</source>
        <translation>Der Server %1 antwortet nicht; nichts wurde geändert. Versuchen Sie es erneut, sobald er antwortet.</translation>
    </message>
    <message>
        <source>The connection to the server %1 was lost while the change was saved: it was not saved.</source>
        <translation>Die Verbindung zum Server %1 ging verloren, während die Änderung gespeichert wurde: Sie wurde nicht gespeichert.</translation>
    </message>
    <message>
        <source>The connection to the server %1 was lost while the change was saved: it is shown as the server holds it once the server answers again.</source>
        <translation>Die Verbindung zum Server %1 ging verloren, während die Änderung gespeichert wurde: Sie wird so angezeigt, wie der Server sie hält, sobald er wieder antwortet.</translation>
    </message>
    <message>
        <source>The connection to the server %1 was lost: nothing was saved.</source>
        <translation>Die Verbindung zum Server %1 ging verloren: Nichts wurde gespeichert.</translation>
    </message>
    <message>
        <source>The analytes or materials were changed on another bench meanwhile: this change was not saved. The lists now show what the server holds.</source>
        <translation>Die Analyten oder Materialien wurden inzwischen an einem anderen Arbeitsplatz geändert: Diese Änderung wurde nicht gespeichert. Die Listen zeigen jetzt den Stand des Servers.</translation>
    </message>
    <message>
        <source>The settings were changed on another bench meanwhile: this change was not saved. They now show what the server holds.</source>
        <translation>Die Einstellungen wurden inzwischen an einem anderen Arbeitsplatz geändert: Diese Änderung wurde nicht gespeichert. Sie zeigen jetzt den Stand des Servers.</translation>
    </message>
    <message>
        <source>%1 was changed on another bench meanwhile: this change was not saved. This bench wanted: %2. The server holds instead: %3. %1 now shows what the server holds; make the change again if still needed.</source>
        <translation>%1 wurde inzwischen an einem anderen Arbeitsplatz geändert: Diese Änderung wurde nicht gespeichert. Dieser Arbeitsplatz wollte: %2. Der Server enthält stattdessen: %3. %1 zeigt jetzt den Stand des Servers; nehmen Sie die Änderung erneut vor, falls sie noch nötig ist.</translation>
    </message>
    <message>
        <source>%1 was deleted on another bench meanwhile: the run was not saved. The lists now show what the server holds.</source>
        <translation>%1 wurde inzwischen an einem anderen Arbeitsplatz gelöscht: Der Lauf wurde nicht gespeichert. Die Listen zeigen jetzt den Stand des Servers.</translation>
    </message>
    <message>
        <source>%1 was deleted on another bench meanwhile: this change was not saved. The lists now show what the server holds.</source>
        <translation>%1 wurde inzwischen an einem anderen Arbeitsplatz gelöscht: Diese Änderung wurde nicht gespeichert. Die Listen zeigen jetzt den Stand des Servers.</translation>
    </message>
    <message>
        <source>%1 was changed on another bench meanwhile and has fewer levels now: the run was not saved.</source>
        <translation>%1 wurde inzwischen an einem anderen Arbeitsplatz geändert und hat jetzt weniger Ebenen: Der Lauf wurde nicht gespeichert.</translation>
    </message>
    <message>
        <source>A period of %1 was signed on another bench meanwhile: the run was not saved. Enter it again with a reason.</source>
        <translation>Ein Zeitraum von %1 wurde inzwischen an einem anderen Arbeitsplatz abgezeichnet: Der Lauf wurde nicht gespeichert. Geben Sie ihn mit einer Begründung erneut ein.</translation>
    </message>
    <message>
        <source>Runs of other benches reached %1 meanwhile, and on them the run of %2 is judged otherwise: %3 instead of %4. The run was not saved; judge it again.</source>
        <translation>Inzwischen sind Läufe anderer Arbeitsplätze bei %1 eingegangen, und mit ihnen wird der Lauf vom %2 anders beurteilt: %3 statt %4. Der Lauf wurde nicht gespeichert; beurteilen Sie ihn erneut.</translation>
    </message>
    <message>
        <source>Runs of other benches reached %1 meanwhile: the run was judged again on them, alike, and saved.</source>
        <translation>Inzwischen sind Läufe anderer Arbeitsplätze bei %1 eingegangen: Der Lauf wurde mit ihnen erneut beurteilt, gleich wie zuvor, und gespeichert.</translation>
    </message>
    <message>
        <source>Sign-in refused: unknown operator code or wrong password</source>
        <translation>Anmeldung abgelehnt: unbekanntes Bedienerkürzel oder falsches Passwort</translation>
    </message>
    <message>
        <source>Sign-in refused: too many wrong passwords for this code; try again in 15 minutes</source>
        <translation>Anmeldung abgelehnt: zu viele falsche Passwörter für diesen Code; in 15 Minuten erneut versuchen</translation>
    </message>
    <message>
        <source>Sign in to %1</source>
        <translation>Anmeldung erforderlich: %1</translation>
    </message>
    <message>
        <source>Only a supervisor may %1 (%2 is signed in as a technologist)</source>
        <translation>Nur ein Supervisor darf %1 (%2 ist als Technologe angemeldet)</translation>
    </message>
    <message>
        <source>An operator code has 1 to 16 characters</source>
        <translation>Ein Bedienerkürzel hat 1 bis 16 Zeichen</translation>
    </message>
    <message>
        <source>The first account must be a supervisor&apos;s: only a supervisor can make the others</source>
        <translation>Das erste Konto muss das eines Supervisors sein: Nur ein Supervisor kann die anderen anlegen</translation>
    </message>
    <message>
        <source>manage the accounts</source>
        <translation>die Konten verwalten</translation>
    </message>
    <message>
        <source>A new account needs a password</source>
        <translation>Ein neues Konto braucht ein Passwort</translation>
    </message>
    <message>
        <source>The last supervisor&apos;s account cannot lose its rights</source>
        <translation>Das Konto des letzten Supervisors kann seine Rechte nicht verlieren</translation>
    </message>
    <message>
        <source>No account %1</source>
        <translation>Kein Konto %1</translation>
    </message>
    <message>
        <source>The last supervisor&apos;s account cannot be removed</source>
        <translation>Das Konto des letzten Supervisors kann nicht entfernt werden</translation>
    </message>
    <message>
        <source>Damaged point of %1 on the server</source>
        <translation>Beschädigter Punkt von %1 auf dem Server</translation>
    </message>
    <message>
        <source>Sign in to change the data</source>
        <translation>Melden Sie sich an, um die Daten zu ändern</translation>
    </message>
    <message>
        <source>Only a supervisor may change %1 other than by entering runs (%2 is signed in as a technologist)</source>
        <translation>Nur ein Supervisor darf %1 anders als durch Eingabe von Serien ändern (%2 ist als Technologe angemeldet)</translation>
    </message>
    <message>
        <source>change the analytes or the materials</source>
        <translation>die Analyten oder Materialien ändern</translation>
    </message>
    <message>
        <source>change the settings</source>
        <translation>die Einstellungen ändern</translation>
    </message>
    <message>
        <source>delete archives</source>
        <translation>Archive löschen</translation>
    </message>
    <message>
        <source>change the quality goals</source>
        <translation>die Qualitätsziele ändern</translation>
    </message>
    <message>
        <source>Cannot write the rule sets: the folder is open for reading</source>
        <translation>Die Regelsätze können nicht geschrieben werden: Der Ordner ist nur zum Lesen geöffnet</translation>
    </message>
    <message>
        <source>The rule sets cannot be kept: the database %1%2 is not available</source>
        <translation>Die Regelsätze können nicht gespeichert werden: Die Datenbank %1%2 ist nicht verfügbar</translation>
    </message>
    <message>
        <source>The analytes were saved, but their rule sets were not carried over:<byte value="xd"/>%1</source>
        <translation>Die Analyten wurden gespeichert, aber ihre Regelsätze wurden nicht übernommen:<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>change the rule sets</source>
        <translation>die Regelsätze ändern</translation>
    </message>
    <message>
        <source>switch the inbox&apos;s auto-accept on or off</source>
        <translation>die automatische Übernahme des Posteingangs ein- oder ausschalten</translation>
    </message>
    <message>
        <source>change the reading options of an instrument</source>
        <translation>die Leseoptionen eines Geräts ändern</translation>
    </message>
    <message>
        <source>change the instrument mapping</source>
        <translation>die Zuordnung der Geräte ändern</translation>
    </message>
    <message>
        <source>N must be 1 to %1, not %2</source>
        <translation>N muss zwischen 1 und %1 liegen, nicht %2</translation>
    </message>
    <message>
        <source>%1: no level has a Sigma (a TEa and two values or more are needed)</source>
        <translation>%1: Kein Level hat ein Sigma (ein TEa und mindestens zwei Werte sind nötig)</translation>
    </message>
    <message>
        <source>change the list of corrective actions</source>
        <translation>die Liste der Korrekturmaßnahmen ändern</translation>
    </message>
    <message>
        <source>set the operators&apos; passwords</source>
        <translation>die Passwörter der Bediener festlegen</translation>
    </message>
    <message>
        <source>the bias reaches the TEa</source>
        <translation>der Bias erreicht die TEa</translation>
    </message>
    <message>
        <source>Common CV on: CV % = the levels&apos; CVs pooled with weights N - 1, SD = CV x |mean|, as the limits use them</source>
        <translation>Gemeinsamer VK an: VK % = die VK der Stufen gepoolt mit den Gewichten N - 1, SD = VK x |Mittelwert|, wie die Grenzen sie verwenden</translation>
    </message>
    <message>
        <source>%1: TEa is out of range</source>
        <translation>%1: TEa liegt außerhalb des Bereichs</translation>
    </message>
    <message>
        <source>%1: nothing was imported</source>
        <translation>%1: Nichts wurde importiert</translation>
    </message>
    <message>
        <source>TEa &apos;%1&apos; is out of range</source>
        <translation>TEa „%1“ liegt außerhalb des Bereichs</translation>
    </message>
    <message>
        <source>target of level %1 &apos;%2&apos; is out of range</source>
        <translation>Sollwert der Ebene %1 „%2“ liegt außerhalb des Bereichs</translation>
    </message>
    <message>
        <source>%1 (%2), %3 to %4: %5, %6, %7, %8</source>
        <translation>%1 (%2), %3 bis %4: %5, %6, %7, %8</translation>
    </message>
    <message>
        <source>%1 warning</source>
        <translation>%1 Warnung</translation>
    </message>
    <message>
        <source>%1 warnings</source>
        <translation>%1 Warnungen</translation>
    </message>
    <message>
        <source>%1 reject</source>
        <translation>%1 Zurückweisung</translation>
    </message>
    <message>
        <source>%1 rejects</source>
        <translation>%1 Zurückweisungen</translation>
    </message>
    <message>
        <source>%1 discarded value</source>
        <translation>%1 verworfener Wert</translation>
    </message>
    <message>
        <source>%1 discarded values</source>
        <translation>%1 verworfene Werte</translation>
    </message>
    <message>
        <source>The newest backup %1 is damaged. Restore aborted</source>
        <translation>Die neueste Sicherung %1 ist beschädigt. Wiederherstellung abgebrochen</translation>
    </message>
    <message>
        <source>No database backup in %1 was made with %2.</source>
        <translation>Keine Datenbanksicherung in %1 wurde mit %2 erstellt.</translation>
    </message>
    <message>
        <source>Runs before 1 January 1900 cannot be stored</source>
        <translation>Serien vor dem 1. Januar 1900 können nicht gespeichert werden</translation>
    </message>
    <message>
        <source>The file is empty</source>
        <translation>Die Datei ist leer</translation>
    </message>
    <message>
        <source>Missing columns: %1</source>
        <translation>Fehlende Spalten: %1</translation>
    </message>
    <message>
        <source>A quote is not closed</source>
        <translation>Ein Anführungszeichen ist nicht geschlossen</translation>
    </message>
    <message>
        <source>No %1</source>
        <translation>Kein %1</translation>
    </message>
    <message>
        <source>Not an ISO date (yyyy-mm-dd): %1</source>
        <translation>Kein ISO-Datum (jjjj-mm-tt): %1</translation>
    </message>
    <message>
        <source>%1 is not a number: %2</source>
        <translation>%1 ist keine Zahl: %2</translation>
    </message>
    <message>
        <source>participants is not a whole number of at least 1: %1</source>
        <translation>participants ist keine ganze Zahl von mindestens 1: %1</translation>
    </message>
    <message>
        <source>The SD must be above zero</source>
        <translation>Die SD muss größer als null sein</translation>
    </message>
    <message>
        <source>The same sample as line %1</source>
        <translation>Dieselbe Probe wie Zeile %1</translation>
    </message>
    <message>
        <source>The file holds no result</source>
        <translation>Die Datei enthält kein Ergebnis</translation>
    </message>
    <message>
        <source>Lot %1: fewer than two values in the period, left out</source>
        <translation>Charge %1: weniger als zwei Werte im Zeitraum, nicht berücksichtigt</translation>
    </message>
    <message>
        <source>Lot %1: a mean of zero has no CV, left out</source>
        <translation>Charge %1: ein Mittelwert von null hat keinen VK, nicht berücksichtigt</translation>
    </message>
    <message>
        <source>No value in the period</source>
        <translation>Kein Wert im Zeitraum</translation>
    </message>
    <message>
        <source>No lot holds two values in the period</source>
        <translation>Keine Charge hat zwei Werte im Zeitraum</translation>
    </message>
    <message>
        <source>No stated uncertainty of the target is given</source>
        <translation>Keine angegebene Unsicherheit des Zielwerts</translation>
    </message>
    <message>
        <source>No EQA result in the period</source>
        <translation>Kein Ringversuchsergebnis im Zeitraum</translation>
    </message>
    <message>
        <source>No peer statistics in the period</source>
        <translation>Keine Vergleichsgruppenstatistik im Zeitraum</translation>
    </message>
    <message>
        <source>The coverage factor must be above zero</source>
        <translation>Der Erweiterungsfaktor muss größer als null sein</translation>
    </message>
    <message>
        <source>The period ends before it starts</source>
        <translation>Der Zeitraum endet vor seinem Beginn</translation>
    </message>
    <message>
        <source>Archive %1: no level uses its material %2 now, left out</source>
        <translation>Archiv %1: kein Level verwendet jetzt sein Material %2, nicht berücksichtigt</translation>
    </message>
    <message>
        <source>Archive %1: several levels use its material %2, left out</source>
        <translation>Archiv %1: mehrere Level verwenden sein Material %2, nicht berücksichtigt</translation>
    </message>
    <message>
        <source>Archive %1: %2 lines could not be read</source>
        <translation>Archiv %1: %2 Zeilen konnten nicht gelesen werden</translation>
    </message>
    <message>
        <source>Cannot record EQA results: the folder is open for reading</source>
        <translation>Ringversuchsergebnisse können nicht erfasst werden: der Ordner ist nur zum Lesen geöffnet</translation>
    </message>
    <message>
        <source>EQA results are kept in a folder&apos;s database; the server does not keep them</source>
        <translation>Ringversuchsergebnisse werden in der Datenbank eines Ordners gespeichert; der Server speichert sie nicht</translation>
    </message>
    <message>
        <source>EQA results cannot be kept: the database %1%2 is not available</source>
        <translation>Ringversuchsergebnisse können nicht gespeichert werden: die Datenbank %1%2 ist nicht verfügbar</translation>
    </message>
    <message>
        <source>This sample is already recorded</source>
        <translation>Diese Probe ist bereits erfasst</translation>
    </message>
    <message>
        <source>Refused lines: %1. Nothing was imported</source>
        <translation>Abgelehnte Zeilen: %1. Nichts wurde importiert</translation>
    </message>
    <message>
        <source>Applied: %1 (the analyte&apos;s own rules).
</source>
        <translation>Angewandt: %1 (eigene Regeln des Analyten).
</translation>
    </message>
    <message>
        <source>Cannot write %1: the password is kept in the database, which is not open</source>
        <translation>%1 kann nicht geschrieben werden: das Passwort wird in der Datenbank aufbewahrt, die nicht geöffnet ist</translation>
    </message>
    <message>
        <source>The program password could not be checked (the database does not hold it) and was removed: set it again in the Configuration menu.</source>
        <translation>Das Programmpasswort konnte nicht geprüft werden (die Datenbank enthält es nicht) und wurde entfernt: legen Sie es im Menü Konfiguration neu fest.</translation>
    </message>
    <message>
        <source>%1 holds a password and every user of this computer can read it: make it readable by its owner only (chmod 600 %1).</source>
        <translation>%1 enthält ein Passwort und jeder Benutzer dieses Computers kann es lesen: machen Sie die Datei nur für ihren Eigentümer lesbar (chmod 600 %1).</translation>
    </message>
    <message>
        <source>Not a journal head: %1</source>
        <translation>Kein Journalkopf: %1</translation>
    </message>
    <message>
        <source>The journal holds no entry with the head %1: entries up to it were changed or removed since it was printed</source>
        <translation>Das Journal enthält keinen Eintrag mit dem Kopf %1: Einträge bis zu ihm wurden seit dem Druck geändert oder entfernt</translation>
    </message>
    <message>
        <source>%1 was not found although the data holds %2 runs: a new journal starts here, without the entries before it. If Varnholt was used in this folder before, its database was removed: restore it from a backup.</source>
        <translation>%1 wurde nicht gefunden, obwohl die Daten %2 Serien enthalten: ein neues Journal beginnt hier, ohne die Einträge davor. Wurde Varnholt in diesem Ordner schon benutzt, wurde seine Datenbank entfernt: stellen Sie sie aus einer Sicherung wieder her.</translation>
    </message>
    <message>
        <source>The text is larger than an import takes (%1 MB at most)</source>
        <translation>Der Text ist größer, als ein Import annimmt (höchstens %1 MB)</translation>
    </message>
    <message>
        <source>longer than %1 bytes, not read</source>
        <translation>länger als %1 Bytes, nicht gelesen</translation>
    </message>
    <message>
        <source>Cannot record peer statistics: the folder is open for reading</source>
        <translation>Peer-Statistiken können nicht gespeichert werden: der Ordner ist nur zum Lesen geöffnet</translation>
    </message>
    <message>
        <source>Peer statistics are kept in a folder&apos;s database; the server does not keep them</source>
        <translation>Peer-Statistiken werden in der Datenbank eines Ordners gespeichert; der Server speichert sie nicht</translation>
    </message>
    <message>
        <source>Peer statistics cannot be kept: the database %1%2 is not available</source>
        <translation>Peer-Statistiken können nicht gespeichert werden: die Datenbank %1%2 ist nicht verfügbar</translation>
    </message>
    <message>
        <source>%1 has no level %2</source>
        <translation>%1 hat keine Ebene %2</translation>
    </message>
    <message>
        <source>This row is already recorded</source>
        <translation>Diese Zeile ist bereits gespeichert</translation>
    </message>
    <message>
        <source>Another bench recorded some of these rows meanwhile: nothing was imported</source>
        <translation>Ein anderer Arbeitsplatz hat einige dieser Zeilen inzwischen gespeichert: Nichts wurde importiert</translation>
    </message>
    <message>
        <source>Not a month (yyyy-mm): %1</source>
        <translation>Kein Monat (jjjj-mm): %1</translation>
    </message>
    <message>
        <source>level is not 1, 2 or 3: %1</source>
        <translation>level ist nicht 1, 2 oder 3: %1</translation>
    </message>
    <message>
        <source>n is not a whole number of at least 2: %1</source>
        <translation>n ist keine ganze Zahl von mindestens 2: %1</translation>
    </message>
    <message>
        <source>labs is not a whole number of at least 1: %1</source>
        <translation>labs ist keine ganze Zahl von mindestens 1: %1</translation>
    </message>
    <message>
        <source>The same row as line %1</source>
        <translation>Dieselbe Zeile wie Zeile %1</translation>
    </message>
    <message>
        <source>The file holds no row</source>
        <translation>Die Datei enthält keine Zeile</translation>
    </message>
    <message>
        <source>no peer or EQA data for the bias</source>
        <translation>keine Peer- oder Ringversuchsdaten für den Bias</translation>
    </message>
    <message>
        <source>the peer data</source>
        <translation>den Peer-Daten</translation>
    </message>
    <message>
        <source>the EQA results</source>
        <translation>den Ringversuchsergebnissen</translation>
    </message>
    <message>
        <source>the target</source>
        <translation>dem Sollwert</translation>
    </message>
    <message>
        <source>%1: on the server the bias is taken from the target; peer and EQA data are kept in a folder&apos;s database</source>
        <translation>%1: auf dem Server wird der Bias aus dem Sollwert genommen; Peer- und Ringversuchsdaten werden in der Datenbank eines Ordners gespeichert</translation>
    </message>
    <message>
        <source>An alarm is acknowledged with the corrective action taken</source>
        <translation>Ein Alarm wird mit der ergriffenen Korrekturmaßnahme quittiert</translation>
    </message>
    <message>
        <source>%1 has no patient-based QC alarm at %2</source>
        <translation>%1 hat um %2 keinen Alarm der patientenbasierten QK</translation>
    </message>
    <message>
        <source>The alarm of %1 at %2 was acknowledged already</source>
        <translation>Der Alarm von %1 um %2 wurde bereits quittiert</translation>
    </message>
</context>
<context>
    <name>TChartPrinter</name>
    <message>
        <source>Legend:</source>
        <translation>Legende:</translation>
    </message>
    <message>
        <source>1:3s  rule broken</source>
        <translation>1:3s  Regel verletzt</translation>
    </message>
    <message>
        <source>  %1 QC charts  </source>
        <translation>  QC-Karten %1  </translation>
    </message>
    <message>
        <source>Limits in force</source>
        <translation>Geltende Grenzen</translation>
    </message>
    <message>
        <source>Limit mode and reference period</source>
        <translation>Grenzmodus und Referenzzeitraum</translation>
    </message>
    <message>
        <source>Target (%1)</source>
        <translation>Sollwert (%1)</translation>
    </message>
    <message>
        <source>SD</source>
        <translation>SD</translation>
    </message>
    <message>
        <source>Warning limits</source>
        <translation>Warngrenzen</translation>
    </message>
    <message>
        <source>Action limits</source>
        <translation>Eingriffsgrenzen</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <source>Reviewed by ______________________________    on ____________________</source>
        <translation>Geprüft von ______________________________    am ____________________</translation>
    </message>
    <message>
        <source>value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>discarded</source>
        <translation>verworfen</translation>
    </message>
    <message>
        <source>mean</source>
        <translation>Mittelwert</translation>
    </message>
    <message>
        <source>warning limits</source>
        <translation>Warngrenzen</translation>
    </message>
    <message>
        <source>action limits</source>
        <translation>Eingriffsgrenzen</translation>
    </message>
    <message>
        <source>locked interval</source>
        <translation>gesperrtes Intervall</translation>
    </message>
    <message>
        <source>reviewed and signed</source>
        <translation>geprüft und freigegeben</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>m (%1)</source>
        <translation>m (%1)</translation>
    </message>
    <message>
        <source>C.V. (%)</source>
        <translation>VK (%)</translation>
    </message>
    <message>
        <source>- Page %1 - %2 QC - Printed on %3 -</source>
        <translation>- Seite %1 - %2 QK - Gedruckt am %3 -</translation>
    </message>
</context>
<context>
    <name>TGBFixedParam</name>
    <message>
        <source>Target value</source>
        <translation>Sollwert</translation>
    </message>
    <message>
        <source>Deviations allowed before</source>
        <translation>Zulässige Abweichungen vor</translation>
    </message>
    <message>
        <source>Fixed</source>
        <translation>Fest</translation>
    </message>
    <message>
        <source>Mobile</source>
        <translation>Gleitend</translation>
    </message>
    <message>
        <source>Action &lt; Warning</source>
        <translation>Eingriff &lt; Warnung</translation>
    </message>
</context>
<context>
    <name>TGBLockedParam</name>
    <message>
        <source>Locked</source>
        <translation>Gesperrt</translation>
    </message>
    <message>
        <source>Mobile</source>
        <translation>Gleitend</translation>
    </message>
</context>
<context>
    <name>TInboxWatch</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Last reading %1 cancelled: the files wait until %2</source>
        <translation>Letztes Lesen %1 abgebrochen: die Dateien warten bis %2</translation>
    </message>
    <message>
        <source>Placing the runs read from the inbox...</source>
        <translation>Die gelesenen Läufe aus dem Eingang werden abgelegt...</translation>
    </message>
    <message>
        <source>Reading the inbox...</source>
        <translation>Der Eingang wird gelesen...</translation>
    </message>
    <message>
        <source>, %1 not listening</source>
        <translation>, %1 empfangen nicht</translation>
    </message>
    <message>
        <source>%1 listens on port %2 (%3)</source>
        <translation>%1 hört auf Port %2 (%3)</translation>
    </message>
    <message>
        <source>, %1 waiting</source>
        <translation>, %1 wartend</translation>
    </message>
    <message>
        <source>&amp;Instrument mapping</source>
        <translation>&amp;Gerätezuordnung</translation>
    </message>
    <message>
        <source>&amp;Inbox</source>
        <translation>&amp;Eingang</translation>
    </message>
    <message>
        <source>%1 run(s) to the queue, %2 stored, %3 result(s) not mapped</source>
        <translation>%1 Serie(n) in die Warteschlange, %2 gespeichert, %3 Ergebnis(se) nicht zugeordnet</translation>
    </message>
    <message>
        <source>Last reading </source>
        <translation>Letztes Einlesen </translation>
    </message>
    <message>
        <source>Inbox: unavailable</source>
        <translation>Eingang: nicht verfügbar</translation>
    </message>
    <message>
        <source>Inbox: %1 new</source>
        <translation>Eingang: %1 neu</translation>
    </message>
    <message>
        <source>, %1 not mapped</source>
        <translation>, %1 nicht zugeordnet</translation>
    </message>
    <message>
        <source>, %1 failed</source>
        <translation>, %1 fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1 to failed: %2</source>
        <translation>%1 nach „failed“: %2</translation>
    </message>
    <message>
        <source>%1 read: %2</source>
        <translation>%1 gelesen: %2</translation>
    </message>
    <message>
        <source>%1 waits: %2</source>
        <translation>%1 wartet: %2</translation>
    </message>
    <message>
        <source>Results from the instruments in %1: held runs from the inbox, results waiting for a mapping
</source>
        <translation>Ergebnisse der Geräte in %1: zurückgestellte Serien aus dem Eingang, Ergebnisse, die auf eine Zuordnung warten
</translation>
    </message>
</context>
<context>
    <name>TNotMappedModel</name>
    <message>
        <source> line </source>
        <translation> Zeile </translation>
    </message>
</context>
<context>
    <name>TPrintJob</name>
    <message>
        <source>The printout could not be started.</source>
        <translation>Der Ausdruck konnte nicht gestartet werden.</translation>
    </message>
</context>
<context>
    <name>TProgram</name>
    <message>
        <source>Cannot read data</source>
        <translation>Daten können nicht gelesen werden</translation>
    </message>
    <message>
        <source>Varnholt cannot find a folder for its data: HOME is not set.<byte value="xd"/>Set HOME, or name the folder in VARNHOLT_HOME.</source>
        <translation>Varnholt findet keinen Ordner für seine Daten: HOME ist nicht gesetzt.<byte value="xd"/>Setzen Sie HOME oder nennen Sie den Ordner in VARNHOLT_HOME.</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.<byte value="xd"/>Create it and start Varnholt there ?</source>
        <translation>Der Ordner %1 existiert nicht.<byte value="xd"/>Ihn anlegen und Varnholt dort starten?</translation>
    </message>
    <message>
        <source>Varnholt is already running on the folder %1, so this copy ends without changing anything.</source>
        <translation>Varnholt läuft bereits auf dem Ordner %1; dieses Exemplar endet daher, ohne etwas zu ändern.</translation>
    </message>
    <message>
        <source>Varnholt cannot use the folder %1: %2<byte value="xd"/>This copy ends without changing anything.</source>
        <translation>Varnholt kann den Ordner %1 nicht verwenden: %2<byte value="xd"/>Dieses Exemplar endet, ohne etwas zu ändern.</translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation>Anmelden</translation>
    </message>
    <message>
        <source>Operator code</source>
        <translation>Bedienerkürzel</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
</context>
<context>
    <name>TQtPrompt</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
</context>
<context>
    <name>TSigmaPages</name>
    <message>
        <source>&amp;Reference points</source>
        <translation>&amp;Referenzpunkte</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Von</translation>
    </message>
    <message>
        <source>to</source>
        <translation>bis</translation>
    </message>
    <message>
        <source>&amp;Use these rules</source>
        <translation>Diese Regeln &amp;verwenden</translation>
    </message>
    <message>
        <source>%1 is already judged by these rules.</source>
        <translation>%1 wird bereits nach diesen Regeln beurteilt.</translation>
    </message>
    <message>
        <source> or </source>
        <translation> oder </translation>
    </message>
    <message>
        <source>Judge the runs of %1 from now on by the rules advised for level %2 (Sigma %3): %4?
The multirule switch no longer applies to it. The advice runs %5.</source>
        <translation>Die Serien von %1 ab jetzt nach den für Ebene %2 (Sigma %3) empfohlenen Regeln beurteilen: %4?
Der Schalter der Westgard-Regeln gilt dann nicht mehr. Die Empfehlung sieht %5 vor.</translation>
    </message>
</context>
<context>
    <name>TWinAbout</name>
    <message>
        <source>About Varnholt</source>
        <translation>Über Varnholt</translation>
    </message>
    <message>
        <source>Data folder:
</source>
        <translation>Datenordner:
</translation>
    </message>
    <message>
        <source>Internal quality control, version 1.0.0</source>
        <translation>Interne Qualitätskontrolle, Version 1.0.0</translation>
    </message>
    <message>
        <source>&amp;Do not show this window again</source>
        <translation>Dieses Fenster &amp;nicht mehr anzeigen</translation>
    </message>
    <message>
        <source>Levey-Jennings charts, Westgard multirules and Student&apos;s t control limits for the medical laboratory.</source>
        <translation>Levey-Jennings-Karten, Westgard-Regeln und Kontrollgrenzen nach Students t für das medizinische Labor.</translation>
    </message>
</context>
<context>
    <name>TWinArchives</name>
    <message>
        <source>&amp;Show QC points</source>
        <translation>Punkte &amp;anzeigen</translation>
    </message>
    <message>
        <source>&amp;Delete selection</source>
        <translation>Auswahl &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>QC archives for %1</source>
        <translation>QK-Archive von %1</translation>
    </message>
    <message>
        <source>Nothing to show</source>
        <translation>Nichts anzuzeigen</translation>
    </message>
    <message>
        <source>Printing QC archives</source>
        <translation>QK-Archive werden gedruckt</translation>
    </message>
    <message>
        <source>Archived statistics for %1</source>
        <translation>Archivierte Statistik von %1</translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Nichts zu drucken</translation>
    </message>
    <message numerus="yes">
        <source>Why are %n archives of %1 deleted?</source>
        <translation>
            <numerusform>Warum wird %n Archiv von %1 gelöscht?</numerusform>
            <numerusform>Warum werden %n Archive von %1 gelöscht?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TWinCorrectiveActions</name>
    <message>
        <source>Corrective actions</source>
        <translation>Korrekturmaßnahmen</translation>
    </message>
    <message>
        <source>Offered when a rule rejects a run, one per line:</source>
        <translation>Angeboten, wenn eine Regel eine Serie zurückweist, eine pro Zeile:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>TWinDailyQC</name>
    <message>
        <source>QC daily summary</source>
        <translation>QK-Tagesübersicht</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>&amp;Today</source>
        <translation>&amp;Heute</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Nichts zu drucken</translation>
    </message>
</context>
<context>
    <name>TWinDefAnalytes</name>
    <message>
        <source>Definition of analytes</source>
        <translation>Definition der Analyte</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Levels</source>
        <translation>Ebenen</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>Einheit</translation>
    </message>
    <message>
        <source>Decimals</source>
        <translation>Dezimalen</translation>
    </message>
    <message>
        <source>(15 characters max)</source>
        <translation>(höchstens 15 Zeichen)</translation>
    </message>
    <message>
        <source>(1 to 3)</source>
        <translation>(1 bis 3)</translation>
    </message>
    <message>
        <source>(6 chararcters max)</source>
        <translation>(höchstens 6 Zeichen)</translation>
    </message>
    <message>
        <source>(0 to 3)</source>
        <translation>(0 bis 3)</translation>
    </message>
    <message>
        <source>&amp;Add to list</source>
        <translation>Zur Liste &amp;hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Replace in list</source>
        <translation>In der Liste &amp;ersetzen</translation>
    </message>
    <message>
        <source>Reset &amp;fields</source>
        <translation>&amp;Felder zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Delete analyte</source>
        <translation>Analyt &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Sort analytes by names</source>
        <translation>Analyte nach Namen &amp;sortieren</translation>
    </message>
    <message>
        <source>Sort Analytes</source>
        <translation>Analyte sortieren</translation>
    </message>
    <message>
        <source>T&amp;op</source>
        <translation>&amp;Anfang</translation>
    </message>
    <message>
        <source>Do&amp;wn</source>
        <translation>&amp;Runter</translation>
    </message>
    <message>
        <source>&amp;Bottom</source>
        <translation>&amp;Ende</translation>
    </message>
    <message>
        <source>Quality goals</source>
        <translation>Qualitätsziele</translation>
    </message>
    <message>
        <source>&amp;TEa</source>
        <translation>&amp;TEa</translation>
    </message>
    <message>
        <source>Target level %1</source>
        <translation>Sollwert Ebene %1</translation>
    </message>
    <message>
        <source>B&amp;ias from</source>
        <translation>B&amp;ias aus</translation>
    </message>
    <message>
        <source>On the server the bias is taken from the target; peer and EQA data are kept in a folder&apos;s database</source>
        <translation>Auf dem Server wird der Bias dem Zielwert entnommen; Peer- und EQA-Daten werden in der Datenbank eines Ordners geführt</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>(unit)</source>
        <translation>(Einheit)</translation>
    </message>
    <message>
        <source>Select the analyte to replace</source>
        <translation>Wählen Sie den zu ersetzenden Analyten</translation>
    </message>
    <message>
        <source>Select the analyte to delete</source>
        <translation>Wählen Sie den zu löschenden Analyten</translation>
    </message>
    <message>
        <source>Select the analyte to move</source>
        <translation>Wählen Sie den zu verschiebenden Analyten</translation>
    </message>
    <message>
        <source>A TEa in the unit needs a unit</source>
        <translation>Eine TEa in der Einheit braucht eine Einheit</translation>
    </message>
    <message>
        <source>Type the TEa as a number and choose % or the unit beside it</source>
        <translation>Geben Sie die TEa als Zahl ein und wählen Sie daneben % oder die Einheit</translation>
    </message>
    <message>
        <source>Missing name</source>
        <translation>Name fehlt</translation>
    </message>
    <message>
        <source>Duplicate names</source>
        <translation>Doppelte Namen</translation>
    </message>
    <message>
        <source>You want to reduce the number of QC levels for %1<byte value="xd"/></source>
        <translation>Sie möchten die Zahl der QK-Ebenen von %1 verringern<byte value="xd"/></translation>
    </message>
    <message>
        <source>Cannot suppress QC level %1.<byte value="xd"/>You must first erase/archive data.</source>
        <translation>QK-Ebene %1 kann nicht entfernt werden.<byte value="xd"/>Sie müssen die Daten zuerst löschen/archivieren.</translation>
    </message>
    <message>
        <source>Cannot suppress QC3 and QC2 levels.<byte value="xd"/>You must first erase/archive data.</source>
        <translation>Die QK-Ebenen QC3 und QC2 können nicht entfernt werden.<byte value="xd"/>Sie müssen die Daten zuerst löschen/archivieren.</translation>
    </message>
    <message>
        <source>Warning, you are about to clear all archived data and <byte value="xd"/>current control points for %1<byte value="xd"/>Confirm analyte deletion :</source>
        <translation>Achtung, Sie sind dabei, alle archivierten Daten und <byte value="xd"/>die aktuellen Kontrollpunkte von %1 zu löschen<byte value="xd"/>Löschen des Analyten bestätigen:</translation>
    </message>
    <message>
        <source>U&amp;p</source>
        <translation>&amp;Hoch</translation>
    </message>
    <message>
        <source>%1 is typed in the fields but not in the list.<byte value="xd"/>Add it to the list before closing ?</source>
        <translation>%1 ist in den Feldern eingegeben, aber nicht in der Liste.<byte value="xd"/>Vor dem Schließen in die Liste aufnehmen?</translation>
    </message>
    <message>
        <source>Rules (empty: Westgard multirules)</source>
        <translation>Regeln (leer: Westgard-Regeln)</translation>
    </message>
    <message>
        <source>Rule names separated by commas; a rule in neither field is off: %1</source>
        <translation>Regelnamen durch Kommas getrennt; eine Regel in keinem der Felder ist aus: %1</translation>
    </message>
    <message>
        <source>Re&amp;ject</source>
        <translation>&amp;Zurückweisen</translation>
    </message>
    <message>
        <source>Warnin&amp;g</source>
        <translation>Warnun&amp;g</translation>
    </message>
</context>
<context>
    <name>TWinDefSerum</name>
    <message>
        <source>Definition of control materials</source>
        <translation>Definition der Kontrollmaterialien</translation>
    </message>
    <message>
        <source>List of registered control materials</source>
        <translation>Liste der erfassten Kontrollmaterialien</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>(15 characters max)</source>
        <translation>(höchstens 15 Zeichen)</translation>
    </message>
    <message>
        <source>Lot</source>
        <translation>Charge</translation>
    </message>
    <message>
        <source>(10 characters max)</source>
        <translation>(höchstens 10 Zeichen)</translation>
    </message>
    <message>
        <source>&amp;Add to list</source>
        <translation>Zur Liste &amp;hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Change only the definition of materials</source>
        <translation>Nur die Definition der Materialien ä&amp;ndern</translation>
    </message>
    <message>
        <source>Change and &amp;erase former data</source>
        <translation>Ändern und frühere Daten &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Clear fields</source>
        <translation>Felder &amp;leeren</translation>
    </message>
    <message>
        <source>&amp;Delete material</source>
        <translation>Material &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Material used by</source>
        <translation>&amp;Material verwendet von</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Select the line to replace</source>
        <translation>Wählen Sie die zu ersetzende Zeile</translation>
    </message>
    <message>
        <source>Select the control material to delete</source>
        <translation>Wählen Sie das zu löschende Kontrollmaterial</translation>
    </message>
    <message>
        <source>Select one control material</source>
        <translation>Wählen Sie ein Kontrollmaterial</translation>
    </message>
    <message>
        <source>Missing name</source>
        <translation>Name fehlt</translation>
    </message>
    <message>
        <source>Duplicates</source>
        <translation>Doppelte Einträge</translation>
    </message>
    <message>
        <source>The old control material %1 (%2) is not used for any analyte.<byte value="xd"/>No data to erase. Press the button &lt;Replace in list&gt;.</source>
        <translation>Das bisherige Kontrollmaterial %1 (%2) wird von keinem Analyten verwendet.<byte value="xd"/>Keine Daten zu löschen. Drücken Sie die Schaltfläche &lt;In der Liste ersetzen&gt;.</translation>
    </message>
    <message>
        <source>Impossible to delete %1 (%2).<byte value="xd"/>This control material is used by : <byte value="xd"/></source>
        <translation>%1 (%2) kann nicht gelöscht werden.<byte value="xd"/>Dieses Kontrollmaterial wird verwendet von: <byte value="xd"/></translation>
    </message>
    <message>
        <source>Delete the control material %1 (%2).</source>
        <translation>Das Kontrollmaterial %1 (%2) löschen.</translation>
    </message>
    <message>
        <source>Analytes controled by %1 (%2) : </source>
        <translation>Mit %1 (%2) kontrollierte Analyte: </translation>
    </message>
    <message>
        <source>Delete data and archive statistics of %1 (%2) in the analyte(s) :<byte value="xd"/></source>
        <translation>Daten und Archivstatistik von %1 (%2) in den Analyten löschen:<byte value="xd"/></translation>
    </message>
    <message>
        <source>Why are the control materials changed and their data erased?</source>
        <translation>Warum werden die Kontrollmaterialien geändert und ihre Daten gelöscht?</translation>
    </message>
    <message>
        <source>%1 is typed in the fields but not in the list.<byte value="xd"/>Add it to the list before closing ?</source>
        <translation>%1 ist in den Feldern eingegeben, aber nicht in der Liste.<byte value="xd"/>Vor dem Schließen in die Liste aufnehmen?</translation>
    </message>
</context>
<context>
    <name>TWinDisplaySize</name>
    <message>
        <source>The display size could not be saved in %1.</source>
        <translation>Die Anzeigegröße konnte nicht in %1 gespeichert werden.</translation>
    </message>
    <message>
        <source>Display size</source>
        <translation>Anzeigegröße</translation>
    </message>
    <message>
        <source>&amp;Size of the windows</source>
        <translation>&amp;Größe der Fenster</translation>
    </message>
    <message>
        <source>Follow the desktop</source>
        <translation>Dem Desktop folgen</translation>
    </message>
    <message>
        <source>The new size is used from the next start of Varnholt.</source>
        <translation>Die neue Größe gilt ab dem nächsten Start von Varnholt.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>TWinEmployees</name>
    <message>
        <source>List of operators</source>
        <translation>Liste der Bediener</translation>
    </message>
    <message>
        <source>Maximum length</source>
        <translation>Höchstlänge</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Own &amp;password</source>
        <translation>Eigenes &amp;Passwort</translation>
    </message>
    <message>
        <source>The password with which the operator of the current row signs reviews</source>
        <translation>Das Passwort, mit dem der Bediener der aktuellen Zeile Prüfungen freigibt</translation>
    </message>
    <message>
        <source>Select the operator.</source>
        <translation>Wählen Sie den Bediener.</translation>
    </message>
    <message>
        <source>Own password of </source>
        <translation>Eigenes Passwort von </translation>
    </message>
    <message>
        <source>Deletion of :<byte value="xd"/><byte value="xd"/></source>
        <translation>Löschen von:<byte value="xd"/><byte value="xd"/></translation>
    </message>
</context>
<context>
    <name>TWinEntryPsw</name>
    <message>
        <source>QC : enter password</source>
        <translation>QK: Passwort eingeben</translation>
    </message>
    <message>
        <source>&amp;Password : </source>
        <translation>&amp;Passwort: </translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>TWinImport</name>
    <message>
        <source>Line %1 is dated %2, after today.<byte value="xd"/>Add the runs all the same?</source>
        <translation>Zeile %1 ist auf den %2 datiert, nach dem heutigen Tag.<byte value="xd"/>Die Läufe trotzdem hinzufügen?</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Imported file contents</source>
        <translation>Inhalt der importierten Datei</translation>
    </message>
    <message>
        <source>ClipBoard contents</source>
        <translation>Inhalt der Zwischenablage</translation>
    </message>
    <message>
        <source>Nothing to paste from the clipboard</source>
        <translation>Nichts zum Einfügen in der Zwischenablage</translation>
    </message>
    <message>
        <source>&amp;Add the QC data to </source>
        <translation>QK-Daten &amp;hinzufügen zu </translation>
    </message>
    <message>
        <source>Nothing to import.</source>
        <translation>Nichts zu importieren.</translation>
    </message>
    <message>
        <source>Add the new QC points to the previous ones<byte value="xd"/>The QC mode will be reset to mobile</source>
        <translation>Die neuen QK-Punkte zu den bisherigen hinzufügen<byte value="xd"/>Der QK-Modus wird auf gleitend zurückgesetzt</translation>
    </message>
    <message>
        <source>Runs fall in a reviewed and signed period of %1: why are they added now?</source>
        <translation>Serien fallen in einen geprüften und freigegebenen Zeitraum von %1: Warum werden sie jetzt hinzugefügt?</translation>
    </message>
    <message>
        <source> more lines skipped</source>
        <translation> weitere Zeilen übersprungen</translation>
    </message>
    <message>
        <source>&amp;Lines skipped or partly read: </source>
        <translation>Übersprungene oder teilweise gelesene &amp;Zeilen: </translation>
    </message>
    <message>
        <source>Reading the lines...</source>
        <translation>Die Zeilen werden gelesen...</translation>
    </message>
</context>
<context>
    <name>TWinInboxMapping</name>
    <message>
        <source>%1 removed</source>
        <translation>%1 entfernt</translation>
    </message>
    <message>
        <source>Why is %1 removed without being read?</source>
        <translation>Warum wird %1 ungelesen entfernt?</translation>
    </message>
    <message>
        <source>%1 is back in the inbox: it is read when this window closes</source>
        <translation>%1 liegt wieder im Eingang: Die Datei wird gelesen, wenn dieses Fenster schließt</translation>
    </message>
    <message>
        <source>Discarded: %1 result(s) of %2</source>
        <translation>Verworfen: %1 Ergebnis(se) von %2</translation>
    </message>
    <message>
        <source>Why are the %1 results of %2 that wait for a mapping thrown away?</source>
        <translation>Warum werden die %1 Ergebnisse von %2, die auf eine Zuordnung warten, verworfen?</translation>
    </message>
    <message>
        <source>Remove the &amp;file</source>
        <translation>Datei &amp;entfernen</translation>
    </message>
    <message>
        <source>Put the file back into the inbox, to be read with the options as they are now</source>
        <translation>Die Datei zurück in den Eingang legen, um sie mit den jetzigen Optionen zu lesen</translation>
    </message>
    <message>
        <source>Read a&amp;gain</source>
        <translation>&amp;Erneut lesen</translation>
    </message>
    <message>
        <source>Why</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Files not read (failed)</source>
        <translation>Nicht gelesene Dateien (fehlgeschlagen)</translation>
    </message>
    <message>
        <source>Throw away the results of the selected result&apos;s file that wait for a mapping</source>
        <translation>Die Ergebnisse der Datei des gewählten Ergebnisses verwerfen, die auf eine Zuordnung warten</translation>
    </message>
    <message>
        <source>&amp;Discard the results of this file</source>
        <translation>Ergebnisse dieser Datei &amp;verwerfen</translation>
    </message>
    <message>
        <source>%1 %2 %3 is mapped to %4 level %5. Map it to %6 level %7 instead?</source>
        <translation>%1 %2 %3 ist %4 Level %5 zugeordnet. Stattdessen %6 Level %7 zuordnen?</translation>
    </message>
    <message>
        <source>Results from the instruments</source>
        <translation>Ergebnisse der Geräte</translation>
    </message>
    <message>
        <source>Results not mapped</source>
        <translation>Nicht zugeordnete Ergebnisse</translation>
    </message>
    <message>
        <source>Map</source>
        <translation>Zuordnen</translation>
    </message>
    <message>
        <source>Store the mapping and bring in the results waiting for it</source>
        <translation>Die Zuordnung speichern und die darauf wartenden Ergebnisse übernehmen</translation>
    </message>
    <message>
        <source>Mappings</source>
        <translation>Zuordnungen</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelle</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Kontrolle</translation>
    </message>
    <message>
        <source>Analyte</source>
        <translation>Analyt</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Ebene</translation>
    </message>
    <message>
        <source>Reading options of a source</source>
        <translation>Leseoptionen einer Quelle</translation>
    </message>
    <message>
        <source>Mapped: %1 run(s) to the queue</source>
        <translation>Zugeordnet: %1 Serie(n) in die Warteschlange</translation>
    </message>
    <message>
        <source> (%1 completing a held run)</source>
        <translation> (%1 ergänzen eine zurückgestellte Serie)</translation>
    </message>
    <message>
        <source>, %1 stored, %2 still not mapped</source>
        <translation>, %1 gespeichert, %2 weiterhin nicht zugeordnet</translation>
    </message>
    <message>
        <source>Reading options of %1 saved</source>
        <translation>Leseoptionen von %1 gespeichert</translation>
    </message>
    <message>
        <source>&amp;Map</source>
        <translation>&amp;Zuordnen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Sa&amp;ve options</source>
        <translation>Optionen &amp;speichern</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>TWinInboxOptions</name>
    <message>
        <source>Inbox</source>
        <translation>Eingang</translation>
    </message>
    <message>
        <source>&amp;Inbox folder of the instruments&apos; files</source>
        <translation>&amp;Eingangsordner für die Dateien der Geräte</translation>
    </message>
    <message>
        <source>Empty: no inbox. Each subfolder is a source of its own.</source>
        <translation>Leer: kein Eingang. Jeder Unterordner ist eine eigene Quelle.</translation>
    </message>
    <message>
        <source>Choose the inbox folder</source>
        <translation>Eingangsordner wählen</translation>
    </message>
    <message>
        <source>&amp;Accept runs with no warning and no reject without validation</source>
        <translation>Serien ohne Warnung und ohne Zurückweisung ohne Validierung &amp;annehmen</translation>
    </message>
    <message>
        <source>Results of one analyte within</source>
        <translation>Ergebnisse eines Analyten innerhalb von</translation>
    </message>
    <message>
        <source>minutes form one run</source>
        <translation>Minuten bilden eine Serie</translation>
    </message>
    <message>
        <source>Inbox folder</source>
        <translation>Eingangsordner</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>TWinLogoCQ</name>
    <message>
        <source>Internal quality control</source>
        <translation>Interne Qualitätskontrolle</translation>
    </message>
</context>
<context>
    <name>TWinMain</name>
    <message>
        <source>Date of the run</source>
        <translation>Datum der Serie</translation>
    </message>
    <message>
        <source>Time of the run</source>
        <translation>Uhrzeit der Serie</translation>
    </message>
    <message>
        <source>Analytes</source>
        <translation>Analyte</translation>
    </message>
    <message>
        <source>The display size of %1 % leaves the windows too little room on this screen: they are shown at 100 %. Choose a size that fits under Configuration &gt; Display size.</source>
        <translation>Die Anzeigegröße %1 % lässt den Fenstern auf diesem Bildschirm zu wenig Platz: Sie werden mit 100 % angezeigt. Wählen Sie unter Konfiguration &gt; Anzeigegröße eine passende Größe.</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Data ta&amp;ble</source>
        <translation>Daten&amp;tabelle</translation>
    </message>
    <message>
        <source>Table of QC data</source>
        <translation>Tabelle der QK-Daten</translation>
    </message>
    <message>
        <source>&amp;Print charts</source>
        <translation>Karten dr&amp;ucken</translation>
    </message>
    <message>
        <source>Printing control charts</source>
        <translation>Kontrollkarten drucken</translation>
    </message>
    <message>
        <source>Archi&amp;ves</source>
        <translation>Archi&amp;ve</translation>
    </message>
    <message>
        <source>Show archived data</source>
        <translation>Archivierte Daten anzeigen</translation>
    </message>
    <message>
        <source>D&amp;aily QC</source>
        <translation>T&amp;ages-QK</translation>
    </message>
    <message>
        <source>Daily QC results</source>
        <translation>QK-Ergebnisse des Tages</translation>
    </message>
    <message>
        <source>&amp;Control limits</source>
        <translation>Kontroll&amp;grenzen</translation>
    </message>
    <message>
        <source>Show control limits</source>
        <translation>Kontrollgrenzen anzeigen</translation>
    </message>
    <message>
        <source>Bac&amp;kup</source>
        <translation>Sic&amp;herung</translation>
    </message>
    <message>
        <source>Backup on diskette</source>
        <translation>Sicherung auf Diskette</translation>
    </message>
    <message>
        <source>Assign &amp;lots</source>
        <translation>&amp;Chargen</translation>
    </message>
    <message>
        <source>Change QC material or lot number</source>
        <translation>QK-Material oder Chargennummer ändern</translation>
    </message>
    <message>
        <source>Q&amp;ueue : 0</source>
        <translation>&amp;Warteschlange : 0</translation>
    </message>
    <message>
        <source>Queue of held QC results</source>
        <translation>Warteschlange zurückgestellter QK-Ergebnisse</translation>
    </message>
    <message>
        <source>Locking control limits</source>
        <translation>Kontrollgrenzen sperren</translation>
    </message>
    <message>
        <source>Fixing control limits</source>
        <translation>Kontrollgrenzen festlegen</translation>
    </message>
    <message>
        <source>Erasing QC levels</source>
        <translation>QK-Ebenen löschen</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Analytes</source>
        <translation>&amp;Analyte</translation>
    </message>
    <message>
        <source>&amp;Control materials</source>
        <translation>&amp;Kontrollmaterialien</translation>
    </message>
    <message>
        <source>&amp;Operators</source>
        <translation>&amp;Bediener</translation>
    </message>
    <message>
        <source>&amp;Backup/restore options</source>
        <translation>&amp;Optionen für Sicherung/Wiederherstellung</translation>
    </message>
    <message>
        <source>&amp;Password</source>
        <translation>&amp;Passwort</translation>
    </message>
    <message>
        <source>Statistical &amp;risks</source>
        <translation>Statistische &amp;Risiken</translation>
    </message>
    <message>
        <source>&amp;Shortcuts</source>
        <translation>&amp;Tastenkürzel</translation>
    </message>
    <message>
        <source>&amp;Display size</source>
        <translation>&amp;Anzeigegröße</translation>
    </message>
    <message>
        <source>&amp;Diskette restore</source>
        <translation>Von Diskette &amp;wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>&amp;Exportieren</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Importieren</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;Random generator</source>
        <translation>&amp;Zufallsgenerator</translation>
    </message>
    <message>
        <source>&amp;Clear queue</source>
        <translation>Warteschlange &amp;leeren</translation>
    </message>
    <message>
        <source>Exit Varnholt</source>
        <translation>Varnholt beenden</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Kein Analyt.</translation>
    </message>
    <message>
        <source>Impossible to open the user manual</source>
        <translation>Das Benutzerhandbuch kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Nichts zu drucken</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>Partial statistics for the interval</source>
        <translation>Teilstatistik für das Intervall</translation>
    </message>
    <message>
        <source>Nothing to archive</source>
        <translation>Nichts zu archivieren</translation>
    </message>
    <message>
        <source>Nothing to erase</source>
        <translation>Nichts zu löschen</translation>
    </message>
    <message>
        <source>&amp;Journal of changes</source>
        <translation>&amp;Änderungsjournal</translation>
    </message>
    <message>
        <source>&amp;Review and sign-off</source>
        <translation>&amp;Prüfung und Freigabe</translation>
    </message>
    <message>
        <source>&amp;Corrective actions</source>
        <translation>&amp;Korrekturmaßnahmen</translation>
    </message>
    <message>
        <source>Entry of QC points</source>
        <translation>Eingabe der QK-Punkte</translation>
    </message>
    <message>
        <source>Cl&amp;ear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>Pa&amp;rameters</source>
        <translation>Pa&amp;rameter</translation>
    </message>
    <message>
        <source>Confi&amp;guration</source>
        <translation>&amp;Konfiguration</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Cl&amp;ipboard</source>
        <translation>&amp;Zwischenablage</translation>
    </message>
    <message>
        <source>&amp;Special functions</source>
        <translation>&amp;Sonderfunktionen</translation>
    </message>
    <message>
        <source>Rec&amp;ords</source>
        <translation>&amp;Nachweise</translation>
    </message>
    <message>
        <source>&amp;Lock limits</source>
        <translation>Grenzen &amp;sperren</translation>
    </message>
    <message>
        <source>&amp;Fix limits</source>
        <translation>Grenzen &amp;festlegen</translation>
    </message>
    <message>
        <source>&amp;Erase/archive levels</source>
        <translation>Ebenen &amp;löschen/archivieren</translation>
    </message>
    <message>
        <source>&amp;User manual</source>
        <translation>&amp;Benutzerhandbuch</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>You  are not using the small screen font.<byte value="xd"/>You must change it to the small one (96 pixels per inch).</source>
        <translation>Sie verwenden nicht die kleine Bildschirmschrift.<byte value="xd"/>Sie müssen auf die kleine umstellen (96 Pixel pro Zoll).</translation>
    </message>
    <message>
        <source>Your screen resolution is 640 x 480 pixels.<byte value="xd"/>The programme needs a minimum resolution of 800 x 600 pixels.<byte value="xd"/>You must change it.</source>
        <translation>Ihre Bildschirmauflösung ist 640 x 480 Pixel.<byte value="xd"/>Das Programm braucht mindestens 800 x 600 Pixel.<byte value="xd"/>Sie müssen sie ändern.</translation>
    </message>
    <message>
        <source>Operator = %1</source>
        <translation>Bediener = %1</translation>
    </message>
    <message>
        <source>Why is the point of %1 corrected?</source>
        <translation>Warum wird der Punkt von %1 korrigiert?</translation>
    </message>
    <message>
        <source>Define a date interval at the bottom of the charts<byte value="xd"/> - click on one end of the interval, then Shift+click on the other end<byte value="xd"/> - or click on one end and glide to the other end;<byte value="xd"/>The selected date interval is spotted in light blue.</source>
        <translation>Legen Sie unten an den Karten ein Datumsintervall fest<byte value="xd"/> - klicken Sie auf ein Ende des Intervalls, dann mit Umschalt+Klick auf das andere Ende<byte value="xd"/> - oder klicken Sie auf ein Ende und ziehen Sie zum anderen Ende;<byte value="xd"/>Das gewählte Datumsintervall ist hellblau markiert.</translation>
    </message>
    <message>
        <source>Not enough QC points in the dates interval for %1</source>
        <translation>Nicht genug QK-Punkte im Datumsintervall für %1</translation>
    </message>
    <message>
        <source>You are going to erase/archive the data of %1 QC level(s) for %2<byte value="xd"/></source>
        <translation>Sie sind dabei, die Daten von %1 QK-Ebene(n) für %2 zu löschen/archivieren<byte value="xd"/></translation>
    </message>
    <message>
        <source>Points of %1 in a reviewed and signed period are erased: why?</source>
        <translation>Punkte von %1 in einem geprüften und freigegebenen Zeitraum werden gelöscht: Warum?</translation>
    </message>
</context>
<context>
    <name>TWinMonthlySummary</name>
    <message>
        <source>First month</source>
        <translation>Erster Monat</translation>
    </message>
    <message>
        <source>Last month</source>
        <translation>Letzter Monat</translation>
    </message>
    <message>
        <source>Figures per month and level</source>
        <translation>Kennzahlen je Monat und Level</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Von</translation>
    </message>
    <message>
        <source>&amp;to</source>
        <translation>&amp;bis</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>&amp;Export CSV...</source>
        <translation>CSV &amp;exportieren...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Kein Analyt.</translation>
    </message>
    <message>
        <source>No quality goal: no Sigma (set one in Parameters &gt; Analytes)</source>
        <translation>Kein Qualitätsziel: kein Sigma (unter Parameter &gt; Analyte festlegen)</translation>
    </message>
    <message>
        <source>Monthly summary of %1</source>
        <translation>Monatsübersicht von %1</translation>
    </message>
    <message>
        <source>TEa %1; Sigma marked * has no target (bias taken as 0)</source>
        <translation>TEa %1; mit * markiertes Sigma hat keinen Sollwert (Bias als 0 angenommen)</translation>
    </message>
    <message>
        <source>Export the monthly summary</source>
        <translation>Monatsübersicht exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>; bias from %1</source>
        <translation>; Bias aus %1</translation>
    </message>
</context>
<context>
    <name>TWinNewPsw</name>
    <message>
        <source>Change password</source>
        <translation>Passwort ändern</translation>
    </message>
    <message>
        <source>&amp;Old password</source>
        <translation>&amp;Altes Passwort</translation>
    </message>
    <message>
        <source>&amp;New password</source>
        <translation>&amp;Neues Passwort</translation>
    </message>
    <message>
        <source>&amp;Confirm password</source>
        <translation>Passwort &amp;bestätigen</translation>
    </message>
    <message>
        <source>( maximum 10 characters)</source>
        <translation>( höchstens 10 Zeichen)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>TWinOperatorPassword</name>
    <message>
        <source>Own password</source>
        <translation>Eigenes Passwort</translation>
    </message>
    <message>
        <source>New password (empty: the program&apos;s password serves)</source>
        <translation>Neues Passwort (leer: Das Programmpasswort gilt)</translation>
    </message>
    <message>
        <source>Repeat it</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>The two passwords differ.</source>
        <translation>Die beiden Passwörter stimmen nicht überein.</translation>
    </message>
</context>
<context>
    <name>TWinOptions</name>
    <message>
        <source>Backup / restore options</source>
        <translation>Optionen für Sicherung / Wiederherstellung</translation>
    </message>
    <message>
        <source>Choose the backup folder</source>
        <translation>Sicherungsordner wählen</translation>
    </message>
    <message>
        <source>Backup / restore folder</source>
        <translation>Ordner für Sicherung / Wiederherstellung</translation>
    </message>
    <message>
        <source>&amp;Interval between backups</source>
        <translation>&amp;Intervall zwischen Sicherungen</translation>
    </message>
    <message>
        <source>&amp;Backup / restore folder</source>
        <translation>&amp;Ordner für Sicherung / Wiederherstellung</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>No backup folder is chosen.</source>
        <translation>Es ist kein Sicherungsordner gewählt.</translation>
    </message>
    <message>
        <source>The backup folder %1 does not exist (a removable medium not mounted?)<byte value="xd"/>Keep it as the backup folder ?</source>
        <translation>Der Sicherungsordner %1 existiert nicht (ein Wechseldatenträger nicht eingehängt?)<byte value="xd"/>Ihn trotzdem als Sicherungsordner behalten?</translation>
    </message>
</context>
<context>
    <name>TWinPrintPreview</name>
    <message>
        <source>Print preview</source>
        <translation>Druckvorschau</translation>
    </message>
    <message>
        <source>Fit width</source>
        <translation>Breite anpassen</translation>
    </message>
    <message>
        <source>Whole page</source>
        <translation>Ganze Seite</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>Vorherige Seite</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>Nächste Seite</translation>
    </message>
    <message>
        <source>Choose the printer, the copies, the pages and the paper</source>
        <translation>Drucker, Exemplare, Seiten und Papier wählen</translation>
    </message>
    <message>
        <source>PDF file, %1</source>
        <translation>PDF-Datei, %1</translation>
    </message>
    <message>
        <source>Printer %1, %2</source>
        <translation>Drucker %1, %2</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>&amp;Save as PDF...</source>
        <translation>Als PDF &amp;speichern...</translation>
    </message>
</context>
<context>
    <name>TWinPrnCharts</name>
    <message>
        <source>&amp;First date</source>
        <translation>&amp;Erstes Datum</translation>
    </message>
    <message>
        <source>&amp;Last date</source>
        <translation>&amp;Letztes Datum</translation>
    </message>
    <message>
        <source>Points to print</source>
        <translation>Punkte zum Druck</translation>
    </message>
    <message>
        <source>QC levels to print</source>
        <translation>Zu druckende QK-Ebenen</translation>
    </message>
    <message>
        <source>Print &amp;statistics</source>
        <translation>&amp;Statistik drucken</translation>
    </message>
    <message>
        <source>&amp;Color printer</source>
        <translation>&amp;Farbdrucker</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Nichts zu drucken</translation>
    </message>
    <message>
        <source>Print QC charts for %1</source>
        <translation>QK-Karten für %1 drucken</translation>
    </message>
    <message>
        <source>Printing QC charts</source>
        <translation>QK-Karten werden gedruckt</translation>
    </message>
    <message>
        <source>%1 QC charts</source>
        <translation>QK-Karten %1</translation>
    </message>
</context>
<context>
    <name>TWinPrnData</name>
    <message>
        <source>&amp;First date</source>
        <translation>&amp;Erstes Datum</translation>
    </message>
    <message>
        <source>&amp;Last date</source>
        <translation>&amp;Letztes Datum</translation>
    </message>
    <message>
        <source>Print &amp;statistics</source>
        <translation>&amp;Statistik drucken</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Lines to print</source>
        <translation>Zu druckende Zeilen</translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Nichts zu drucken</translation>
    </message>
    <message>
        <source>Print QC data for %1</source>
        <translation>QK-Daten für %1 drucken</translation>
    </message>
    <message>
        <source>Printing QC data</source>
        <translation>QK-Daten werden gedruckt</translation>
    </message>
    <message>
        <source>QC data for %1</source>
        <translation>QK-Daten für %1</translation>
    </message>
</context>
<context>
    <name>TWinRandom</name>
    <message>
        <source>&amp;Number of QC points</source>
        <translation>&amp;Anzahl der QK-Punkte</translation>
    </message>
    <message>
        <source>&amp;First date</source>
        <translation>&amp;Erstes Datum</translation>
    </message>
    <message>
        <source>QC &amp;time</source>
        <translation>QK-&amp;Zeit</translation>
    </message>
    <message>
        <source>&amp;Distribution of data </source>
        <translation>&amp;Verteilung der Daten </translation>
    </message>
    <message>
        <source>Random data in &amp;queue</source>
        <translation>Zufallsdaten in die &amp;Warteschlange</translation>
    </message>
    <message>
        <source>Random data in &amp;charts</source>
        <translation>Zufallsdaten in die &amp;Karten</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Random data generator for </source>
        <translation>Zufallsdatengenerator für </translation>
    </message>
    <message>
        <source>Control material</source>
        <translation>Kontrollmaterial</translation>
    </message>
    <message>
        <source>Fill in the grid</source>
        <translation>Füllen Sie das Raster aus</translation>
    </message>
    <message>
        <source>Create %1 random QC points from %2</source>
        <translation>%1 zufällige QK-Punkte ab %2 erzeugen</translation>
    </message>
    <message>
        <source><byte value="xd"/>Add the new random points in the fifo.</source>
        <translation><byte value="xd"/>Die neuen Zufallspunkte in die Warteschlange stellen.</translation>
    </message>
    <message>
        <source><byte value="xd"/>Add the new random points to the previous ones.</source>
        <translation><byte value="xd"/>Die neuen Zufallspunkte zu den bisherigen hinzufügen.</translation>
    </message>
    <message>
        <source>Random points fall in a reviewed and signed period of %1: why are they added now?</source>
        <translation>Zufallspunkte fallen in einen geprüften und freigegebenen Zeitraum von %1: Warum werden sie jetzt hinzugefügt?</translation>
    </message>
</context>
<context>
    <name>TWinReason</name>
    <message>
        <source>The text has %1 characters; it may have %2. Shorten it.</source>
        <translation>Der Text hat %1 Zeichen; erlaubt sind %2. Kürzen Sie ihn.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Reason for the change</source>
        <translation>Grund der Änderung</translation>
    </message>
    <message>
        <source>Corrective action</source>
        <translation>Korrekturmaßnahme</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>What was done</source>
        <translation>Was getan wurde</translation>
    </message>
</context>
<context>
    <name>TWinReview</name>
    <message>
        <source>Sign as %1 the review from %2 to %3 of:</source>
        <translation>Als %1 die Prüfung vom %2 bis %3 freigeben für:</translation>
    </message>
    <message>
        <source>%1: %2 runs in the period</source>
        <translation>%1: %2 Läufe im Zeitraum</translation>
    </message>
    <message>
        <source>Review and sign-off</source>
        <translation>Prüfung und Freigabe</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Anzeigen</translation>
    </message>
    <message>
        <source>Si&amp;gn</source>
        <translation>&amp;Freigeben</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Analytes</source>
        <translation>Analyte</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>To</source>
        <translation>Bis</translation>
    </message>
    <message>
        <source>Reviewer</source>
        <translation>Prüfer</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Choose one or more analytes.</source>
        <translation>Wählen Sie einen oder mehrere Analyte.</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Kein Analyt.</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Printing the review</source>
        <translation>Prüfung wird gedruckt</translation>
    </message>
    <message>
        <source>Review </source>
        <translation>Prüfung </translation>
    </message>
</context>
<context>
    <name>TWinRisks</name>
    <message>
        <source>Varnholt : Statistical parameters</source>
        <translation>Varnholt : Statistische Parameter</translation>
    </message>
    <message>
        <source>The control limits displayed in the panes are valid only for  long QC reference periods 
(&gt;30 points). If shorter, Student&apos;s t is used with the relevant degrees of freedom.</source>
        <translation>Die angezeigten Kontrollgrenzen gelten nur für lange QK-Referenzzeiträume 
(&gt;30 Punkte). Bei kürzeren wird Students t mit den passenden Freiheitsgraden verwendet.</translation>
    </message>
    <message>
        <source> &amp;Alert limits </source>
        <translation> &amp;Warngrenzen </translation>
    </message>
    <message>
        <source> A&amp;ction limits </source>
        <translation> E&amp;ingriffsgrenzen </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
</context>
<context>
    <name>TWinSerumByAnal</name>
    <message>
        <source>Assignment of control materials</source>
        <translation>Zuordnung der Kontrollmaterialien</translation>
    </message>
    <message>
        <source>Level &amp;%1</source>
        <translation>Ebene &amp;%1</translation>
    </message>
    <message>
        <source>List of registered control materials</source>
        <translation>Liste der erfassten Kontrollmaterialien</translation>
    </message>
    <message>
        <source>Change only the assignment of materials</source>
        <translation>Nur die Zuordnung der Materialien ändern</translation>
    </message>
    <message>
        <source>Change and &amp;erase former data</source>
        <translation>Ändern und frühere Daten &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>QC materials for </source>
        <translation>QK-Materialien für </translation>
    </message>
    <message>
        <source>No control material selected</source>
        <translation>Kein Kontrollmaterial gewählt</translation>
    </message>
    <message>
        <source>Nothing Changed</source>
        <translation>Nichts geändert</translation>
    </message>
    <message>
        <source>Delete and archive %1 QC data for control material(s) : %2</source>
        <translation>QK-Daten von %1 für die Kontrollmaterialien löschen und archivieren: %2</translation>
    </message>
</context>
<context>
    <name>TWinSetUp</name>
    <message>
        <source>Quality control</source>
        <translation>Qualitätskontrolle</translation>
    </message>
    <message>
        <source>Create a shortcut  on the desktop for &lt; %1 &gt;.</source>
        <translation>Eine Verknüpfung auf dem Desktop für &lt; %1 &gt; anlegen.</translation>
    </message>
    <message>
        <source>The installed program is in the menu already</source>
        <translation>Das installierte Programm ist bereits im Menü</translation>
    </message>
    <message>
        <source>No icon folder</source>
        <translation>Kein Symbolordner</translation>
    </message>
    <message>
        <source>No desktop folder</source>
        <translation>Kein Desktop-Ordner</translation>
    </message>
    <message>
        <source>No applications folder</source>
        <translation>Kein Anwendungsordner</translation>
    </message>
    <message>
        <source>Unable to complete setup</source>
        <translation>Einrichtung konnte nicht abgeschlossen werden</translation>
    </message>
    <message>
        <source>Setup OK</source>
        <translation>Einrichtung erfolgreich</translation>
    </message>
    <message>
        <source>Programme setup</source>
        <translation>Programmeinrichtung</translation>
    </message>
    <message>
        <source>Create an entry &lt; Laboratory QC &gt; in the start menu</source>
        <translation>Einen Eintrag &lt; Labor-QK &gt; im Startmenü anlegen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cannot create the folder of %1</source>
        <translation>Der Ordner von %1 kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>TWinShowArchive</name>
    <message>
        <source>Lot :</source>
        <translation>Charge:</translation>
    </message>
    <message>
        <source>Beginning :</source>
        <translation>Beginn:</translation>
    </message>
    <message>
        <source>End :</source>
        <translation>Ende:</translation>
    </message>
    <message>
        <source>Mean :</source>
        <translation>Mittelwert:</translation>
    </message>
    <message>
        <source>CV :</source>
        <translation>VK:</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Archived data for %1</source>
        <translation>Archivierte Daten von %1</translation>
    </message>
    <message>
        <source>From %1 to %2</source>
        <translation>Vom %1 bis %2</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Mittelwert</translation>
    </message>
    <message>
        <source>CV</source>
        <translation>VK</translation>
    </message>
</context>
<context>
    <name>TWinShowData</name>
    <message>
        <source>%1 was deleted or replaced on another bench meanwhile: nothing was changed. Open the table again to see what is stored now.</source>
        <translation>%1 wurde inzwischen an einem anderen Arbeitsplatz gelöscht oder ersetzt: Es wurde nichts geändert. Öffnen Sie die Tabelle erneut, um den gespeicherten Stand zu sehen.</translation>
    </message>
    <message>
        <source>The points of %1 were changed meanwhile: nothing was deleted. Open the table again to see what is stored now.</source>
        <translation>Die Punkte von %1 wurden inzwischen geändert: Es wurde nichts gelöscht. Öffnen Sie die Tabelle erneut, um den gespeicherten Stand zu sehen.</translation>
    </message>
    <message>
        <source>The point of %1 on %2 is no longer stored as shown: nothing is edited.</source>
        <translation>Der Punkt von %1 vom %2 ist nicht mehr so gespeichert wie angezeigt: Es wird nichts bearbeitet.</translation>
    </message>
    <message>
        <source>Date - time</source>
        <translation>Datum - Uhrzeit</translation>
    </message>
    <message>
        <source>QC%1</source>
        <translation>QC%1</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>&amp;Delete selection</source>
        <translation>Auswahl &amp;löschen</translation>
    </message>
    <message>
        <source>Delete &amp;all</source>
        <translation>&amp;Alle löschen</translation>
    </message>
    <message>
        <source>&amp;Edit line</source>
        <translation>Zeile &amp;bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Printing control charts</source>
        <translation>Kontrollkarten drucken</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>QC data for </source>
        <translation>QK-Daten für </translation>
    </message>
    <message numerus="yes">
        <source>Why are %n points of %1 deleted?</source>
        <translation>
            <numerusform>Warum wird %n Punkt von %1 gelöscht?</numerusform>
            <numerusform>Warum werden %n Punkte von %1 gelöscht?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Irreversible deletion of %n lines ?</source>
        <translation>
            <numerusform>%n Zeile unwiderruflich löschen?</numerusform>
            <numerusform>%n Zeilen unwiderruflich löschen?</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing to edit.</source>
        <translation>Nichts zu bearbeiten.</translation>
    </message>
    <message>
        <source>Select the line to edit.</source>
        <translation>Wählen Sie die zu bearbeitende Zeile.</translation>
    </message>
    <message>
        <source>Edit and validate again the control point on %1</source>
        <translation>Den Kontrollpunkt vom %1 bearbeiten und erneut validieren</translation>
    </message>
    <message numerus="yes">
        <source>Irreversible deletion of %n lines.<byte value="xd"/>+ %1</source>
        <translation>
            <numerusform>%n Zeile unwiderruflich löschen.<byte value="xd"/>+ %1</numerusform>
            <numerusform>%n Zeilen unwiderruflich löschen.<byte value="xd"/>+ %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Nichts zu drucken</translation>
    </message>
    <message>
        <source>Print QC data for %1</source>
        <translation>QK-Daten für %1 drucken</translation>
    </message>
</context>
<context>
    <name>TWinShowJournal</name>
    <message>
        <source>Journal of changes</source>
        <translation>Änderungsjournal</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Von</translation>
    </message>
    <message>
        <source>&amp;To</source>
        <translation>&amp;Bis</translation>
    </message>
    <message>
        <source>Analyte</source>
        <translation>Analyt</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>&amp;Check the chain</source>
        <translation>&amp;Kette prüfen</translation>
    </message>
    <message>
        <source>&amp;Export CSV</source>
        <translation>CSV &amp;exportieren</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>The journal is kept in the database, which is not open.</source>
        <translation>Das Journal wird in der Datenbank geführt, die nicht geöffnet ist.</translation>
    </message>
    <message>
        <source>Export the journal</source>
        <translation>Journal exportieren</translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Nichts zu drucken</translation>
    </message>
    <message>
        <source>Printing the journal</source>
        <translation>Journal wird gedruckt</translation>
    </message>
    <message>
        <source>The journal is whole: %1 entries match their hashes.</source>
        <translation>Das Journal ist vollständig: %1 Einträge stimmen mit ihren Hashes überein.</translation>
    </message>
    <message>
        <source>all</source>
        <translation>alle</translation>
    </message>
    <message>
        <source>Analyte: %1    Kind: %2    Operator: %3</source>
        <translation>Analyt: %1    Art: %2    Bediener: %3</translation>
    </message>
    <message>
        <source>    From: %1</source>
        <translation>    Von: %1</translation>
    </message>
    <message>
        <source>    To: %1</source>
        <translation>    Bis: %1</translation>
    </message>
    <message>
        <source>Hash chain whole (%1 entries)</source>
        <translation>Hash-Kette vollständig (%1 Einträge)</translation>
    </message>
    <message>
        <source>%1 entry</source>
        <translation>%1 Eintrag</translation>
    </message>
    <message>
        <source>%1 entries</source>
        <translation>%1 Einträge</translation>
    </message>
</context>
<context>
    <name>TWinShowLimits</name>
    <message>
        <source>First date of the period</source>
        <translation>Erstes Datum des Zeitraums</translation>
    </message>
    <message>
        <source>Last date of the period</source>
        <translation>Letztes Datum des Zeitraums</translation>
    </message>
    <message>
        <source>Sigma metrics</source>
        <translation>Sigma-Kennzahlen</translation>
    </message>
    <message>
        <source>Advice on the control rules</source>
        <translation>Empfehlung zu den Kontrollregeln</translation>
    </message>
    <message>
        <source>Control limits per level</source>
        <translation>Kontrollgrenzen je Level</translation>
    </message>
    <message>
        <source>&amp;Limits</source>
        <translation>&amp;Grenzen</translation>
    </message>
    <message>
        <source>&amp;Quality goals and Sigma</source>
        <translation>&amp;Qualitätsziele und Sigma</translation>
    </message>
    <message>
        <source>Po&amp;wer function and decision chart</source>
        <translation>&amp;Gütefunktion und Entscheidungsdiagramm</translation>
    </message>
    <message>
        <source>&amp;Common CV method</source>
        <translation>&amp;Gemeinsamer-VK-Methode</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Kein Analyt.</translation>
    </message>
    <message>
        <source>Control limits for %1</source>
        <translation>Kontrollgrenzen für %1</translation>
    </message>
    <message>
        <source>QC limits for %1</source>
        <translation>QK-Grenzen für %1</translation>
    </message>
</context>
<context>
    <name>TWinValidCQ</name>
    <message>
        <source>QC validation</source>
        <translation>QK-Validierung</translation>
    </message>
    <message>
        <source>Date / time</source>
        <translation>Datum / Zeit</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Rules across levels</source>
        <translation>Regeln über Ebenen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Westgard multirules </source>
        <translation>&amp;Westgard-Regeln </translation>
    </message>
    <message>
        <source>No data</source>
        <translation>Keine Daten</translation>
    </message>
    <message>
        <source>Discarded</source>
        <translation>Verworfen</translation>
    </message>
    <message>
        <source>A rule rejects this run of %1: what was done?</source>
        <translation>Eine Regel weist diese Serie von %1 zurück: Was wurde getan?</translation>
    </message>
    <message>
        <source>This run falls in a reviewed and signed period of %1: why is it added now?</source>
        <translation>Diese Serie fällt in einen geprüften und freigegebenen Zeitraum von %1: Warum wird sie jetzt hinzugefügt?</translation>
    </message>
    <message>
        <source>Own rules: %1</source>
        <translation>Eigene Regeln: %1</translation>
    </message>
    <message>
        <source>Reject %1</source>
        <translation>Zurückweisen: %1</translation>
    </message>
    <message>
        <source>Reject %1; warning %2</source>
        <translation>Zurückweisen: %1; Warnung: %2</translation>
    </message>
</context>
<context>
    <name>TWinZScores</name>
    <message>
        <source>First date</source>
        <translation>Erstes Datum</translation>
    </message>
    <message>
        <source>Last date</source>
        <translation>Letztes Datum</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Von</translation>
    </message>
    <message>
        <source>&amp;to</source>
        <translation>&amp;bis</translation>
    </message>
    <message>
        <source>&amp;Youden plot of</source>
        <translation>&amp;Youden-Diagramm von</translation>
    </message>
    <message>
        <source>against</source>
        <translation>gegen</translation>
    </message>
    <message>
        <source>&amp;z-score chart</source>
        <translation>&amp;z-Score-Karte</translation>
    </message>
    <message>
        <source>Youden p&amp;lot</source>
        <translation>Youden-&amp;Diagramm</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Kein Analyt.</translation>
    </message>
    <message>
        <source>Level %1</source>
        <translation>Ebene %1</translation>
    </message>
    <message>
        <source>Normalised charts of %1</source>
        <translation>Normierte Karten von %1</translation>
    </message>
    <message>
        <source>Points from %1 to %2</source>
        <translation>Punkte vom %1 bis %2</translation>
    </message>
</context>
<context>
    <name>UArchives</name>
    <message>
        <source>Begin</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Lot</source>
        <translation>Charge</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Mittelwert</translation>
    </message>
    <message>
        <source>CV</source>
        <translation>VK</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Anzahl</translation>
    </message>
</context>
<context>
    <name>UDailyQC</name>
    <message>
        <source>Analytes</source>
        <translation>Analyte</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>QC1</source>
        <translation>QC1</translation>
    </message>
    <message>
        <source>QC2</source>
        <translation>QC2</translation>
    </message>
    <message>
        <source>QC3</source>
        <translation>QC3</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Cumulative daily QC : %1</source>
        <translation>Kumulierte Tages-QK: %1</translation>
    </message>
    <message>
        <source>Analyte</source>
        <translation>Analyt</translation>
    </message>
</context>
<context>
    <name>UMainCharts</name>
    <message>
        <source>in control</source>
        <translation>unter Kontrolle</translation>
    </message>
    <message>
        <source>beyond a warning limit</source>
        <translation>jenseits einer Warngrenze</translation>
    </message>
    <message>
        <source>beyond an action limit</source>
        <translation>jenseits einer Eingriffsgrenze</translation>
    </message>
    <message>
        <source>discarded</source>
        <translation>verworfen</translation>
    </message>
    <message>
        <source>no value</source>
        <translation>kein Wert</translation>
    </message>
    <message>
        <source>, rules %1</source>
        <translation>, Regeln %1</translation>
    </message>
    <message>
        <source>QC charts</source>
        <translation>QK-Karten</translation>
    </message>
    <message>
        <source>No analyte</source>
        <translation>Kein Analyt</translation>
    </message>
    <message>
        <source>%1, number of points: %2</source>
        <translation>%1, Anzahl der Punkte: %2</translation>
    </message>
    <message>
        <source>Level %1, %2</source>
        <translation>Niveau %1, %2</translation>
    </message>
    <message>
        <source>: last value %1</source>
        <translation>: letzter Wert %1</translation>
    </message>
    <message>
        <source>; target %1, warning limits %2 to %3, action limits %4 to %5</source>
        <translation>; Zielwert %1, Warngrenzen %2 bis %3, Eingriffsgrenzen %4 bis %5</translation>
    </message>
    <message>
        <source>; no limits yet</source>
        <translation>; noch keine Grenzen</translation>
    </message>
    <message>
        <source>Left and Right arrows choose a point, Home and End the first and the last, Enter opens it in the data table.</source>
        <translation>Pfeil links und rechts wählen einen Punkt, Pos1 und Ende den ersten und den letzten, Eingabe öffnet ihn in der Datentabelle.</translation>
    </message>
</context>
<context>
    <name>UDrawChart</name>
    <message>
        <source>Common CV</source>
        <translation>Gemeinsamer VK</translation>
    </message>
    <message>
        <source>Mobile limits</source>
        <translation>Gleitende Grenzen</translation>
    </message>
    <message>
        <source>Locked limits</source>
        <translation>Gesperrte Grenzen</translation>
    </message>
    <message>
        <source>Fixed limits</source>
        <translation>Feste Grenzen</translation>
    </message>
    <message>
        <source>Jan</source>
        <translation>Jan</translation>
    </message>
    <message>
        <source>Feb</source>
        <translation>Feb</translation>
    </message>
    <message>
        <source>Mar</source>
        <translation>Mär</translation>
    </message>
    <message>
        <source>Apr</source>
        <translation>Apr</translation>
    </message>
    <message>
        <source>May</source>
        <translation>Mai</translation>
    </message>
    <message>
        <source>Jun</source>
        <translation>Jun</translation>
    </message>
    <message>
        <source>Jul</source>
        <translation>Jul</translation>
    </message>
    <message>
        <source>Aug</source>
        <translation>Aug</translation>
    </message>
    <message>
        <source>Sep</source>
        <translation>Sep</translation>
    </message>
    <message>
        <source>Oct</source>
        <translation>Okt</translation>
    </message>
    <message>
        <source>Nov</source>
        <translation>Nov</translation>
    </message>
    <message>
        <source>Dec</source>
        <translation>Dez</translation>
    </message>
    <message>
        <source>CV = %1 %</source>
        <translation>VK = %1 %</translation>
    </message>
</context>
<context>
    <name>UEntryFlow</name>
    <message>
        <source>Enter data</source>
        <translation>Daten eingeben</translation>
    </message>
    <message>
        <source>Nothing hold in the queue.</source>
        <translation>Keine Ergebnisse in der Warteschlange.</translation>
    </message>
    <message>
        <source>Confirm data backup</source>
        <translation>Datensicherung bestätigen</translation>
    </message>
    <message>
        <source>Backup aborted</source>
        <translation>Sicherung abgebrochen</translation>
    </message>
    <message>
        <source>Backup OK</source>
        <translation>Sicherung erfolgreich</translation>
    </message>
    <message>
        <source>Restore aborted</source>
        <translation>Wiederherstellung abgebrochen</translation>
    </message>
    <message>
        <source>No backup file to restore</source>
        <translation>Keine Sicherungsdatei zum Wiederherstellen</translation>
    </message>
    <message>
        <source>Restore OK</source>
        <translation>Wiederherstellung erfolgreich</translation>
    </message>
    <message>
        <source>No analyte</source>
        <translation>Kein Analyt</translation>
    </message>
    <message>
        <source>Q&amp;ueue : %1</source>
        <translation>&amp;Warteschlange : %1</translation>
    </message>
    <message>
        <source>Erase %1 control points in the queue ?</source>
        <translation>%1 Kontrollpunkte in der Warteschlange löschen?</translation>
    </message>
    <message>
        <source>The backup folder %1 does not exist (a removable medium not mounted?)</source>
        <translation>Der Sicherungsordner %1 existiert nicht (ein Wechseldatenträger nicht eingehängt?)</translation>
    </message>
    <message>
        <source>No backup folder is chosen.</source>
        <translation>Es ist kein Sicherungsordner gewählt.</translation>
    </message>
    <message>
        <source>The backup in %1 holds %2 runs, the data now only %3.<byte value="xd"/>Replace the backup with less data ?</source>
        <translation>Die Sicherung in %1 enthält %2 Serien, die Daten jetzt nur %3.<byte value="xd"/>Die Sicherung durch weniger Daten ersetzen?</translation>
    </message>
    <message>
        <source>Backuping data to %1</source>
        <translation>Daten werden gesichert nach %1</translation>
    </message>
    <message>
        <source>Confirm data restore from diskette. The date of source file is : %1</source>
        <translation>Wiederherstellung von Diskette bestätigen. Datum der Quelldatei: %1</translation>
    </message>
    <message>
        <source>Restoring data from %1</source>
        <translation>Daten werden wiederhergestellt aus %1</translation>
    </message>
    <message>
        <source>The newest backup %1 is damaged.<byte value="xd"/>Restore the older backup %2 of %3, holding %4, instead ?</source>
        <translation>Die neueste Sicherung %1 ist beschädigt.<byte value="xd"/>Stattdessen die ältere Sicherung %2 vom %3 mit %4 wiederherstellen?</translation>
    </message>
    <message numerus="yes">
        <source>%n run(s)</source>
        <translation>
            <numerusform>%n Serie</numerusform>
            <numerusform>%n Serien</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UExchangeCommands</name>
    <message>
        <source>Data file of Drovanta 2 (*.dat)</source>
        <translation>Datendatei von Drovanta 2 (*.dat)</translation>
    </message>
    <message>
        <source>Backup file of Drovanta 2 (*.sav)</source>
        <translation>Sicherungsdatei von Drovanta 2 (*.sav)</translation>
    </message>
    <message>
        <source>No analyte to import data</source>
        <translation>Kein Analyt zum Importieren der Daten</translation>
    </message>
    <message>
        <source>Bad file format</source>
        <translation>Falsches Dateiformat</translation>
    </message>
    <message>
        <source>No analyte</source>
        <translation>Kein Analyt</translation>
    </message>
    <message>
        <source>No analyte to paste</source>
        <translation>Kein Analyt zum Einfügen</translation>
    </message>
    <message>
        <source>Bad clipboard format</source>
        <translation>Falsches Format der Zwischenablage</translation>
    </message>
    <message>
        <source>%1 analyte was imported before the error.</source>
        <translation>%1 Analyt wurde vor dem Fehler importiert.</translation>
    </message>
    <message>
        <source>%1 analytes were imported before the error.</source>
        <translation>%1 Analyte wurden vor dem Fehler importiert.</translation>
    </message>
    <message>
        <source>Cannot read data</source>
        <translation>Daten können nicht gelesen werden</translation>
    </message>
    <message>
        <source>The file %1<byte value="xd"/>already exists. Overwrite ?</source>
        <translation>Die Datei %1<byte value="xd"/>existiert bereits. Überschreiben?</translation>
    </message>
    <message>
        <source>The data were not exported.<byte value="xd"/></source>
        <translation>Die Daten wurden nicht exportiert.<byte value="xd"/></translation>
    </message>
    <message>
        <source>Text files with tabs as separators, Windows-1252 (*.txt)</source>
        <translation>Textdateien mit Tabulatoren als Trennzeichen, Windows-1252 (*.txt)</translation>
    </message>
    <message>
        <source>Text files with tabs as separators, UTF-8 (*.txt)</source>
        <translation>Textdateien mit Tabulatoren als Trennzeichen, UTF-8 (*.txt)</translation>
    </message>
    <message>
        <source>Text file from spreadsheet (*.txt)</source>
        <translation>Textdatei aus Tabellenkalkulation (*.txt)</translation>
    </message>
</context>
<context>
    <name>UImport</name>
    <message>
        <source>Nothing to copy.</source>
        <translation>Nichts zu kopieren.</translation>
    </message>
    <message>
        <source>The data for %1 are now copied in the clipboard.<byte value="xd"/>You can paste them in a spreadsheet.</source>
        <translation>Die Daten von %1 sind jetzt in der Zwischenablage.<byte value="xd"/>Sie können sie in eine Tabellenkalkulation einfügen.</translation>
    </message>
</context>
<context>
    <name>UInboxMapping</name>
    <message>
        <source>from the file</source>
        <translation>aus der Datei</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelle</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Kontrolle</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Ebene</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Why</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>&amp;Source</source>
        <translation>&amp;Quelle</translation>
    </message>
    <message>
        <source>&amp;Test code</source>
        <translation>&amp;Testcode</translation>
    </message>
    <message>
        <source>Control / &amp;lot</source>
        <translation>Kontrolle / &amp;Charge</translation>
    </message>
    <message>
        <source>&amp;Analyte</source>
        <translation>&amp;Analyt</translation>
    </message>
    <message>
        <source>Le&amp;vel</source>
        <translation>E&amp;bene</translation>
    </message>
</context>
<context>
    <name>UMainCommands</name>
    <message>
        <source>No analyte.</source>
        <translation>Kein Analyt.</translation>
    </message>
</context>
<context>
    <name>UMainPages</name>
    <message>
        <source>Locked from </source>
        <translation>Gesperrt vom </translation>
    </message>
    <message>
        <source> to </source>
        <translation> bis </translation>
    </message>
    <message>
        <source>Fixed limits</source>
        <translation>Feste Grenzen</translation>
    </message>
    <message>
        <source>Mobile limits</source>
        <translation>Gleitende Grenzen</translation>
    </message>
    <message>
        <source>Erase/archive data</source>
        <translation>Daten löschen/archivieren</translation>
    </message>
    <message>
        <source>Un-erase data</source>
        <translation>Löschen der Daten aufheben</translation>
    </message>
</context>
<context>
    <name>UMainQuality</name>
    <message>
        <source>Patient-based QC chart</source>
        <translation>Diagramm der patientenbasierten QK</translation>
    </message>
    <message>
        <source>The patients&apos; results between the runs in view (Quality &gt; Patient-based QC: the procedure and its alarms)</source>
        <translation>Die Patientenergebnisse zwischen den angezeigten Läufen (Qualität &gt; Patientenbasierte QK: das Verfahren und seine Alarme)</translation>
    </message>
    <message>
        <source>E&amp;xternal quality assessment</source>
        <translation>&amp;Ringversuche</translation>
    </message>
    <message>
        <source>&amp;Quality</source>
        <translation>&amp;Qualität</translation>
    </message>
    <message>
        <source>&amp;Z-scores and Youden plot</source>
        <translation>&amp;z-Scores und Youden-Diagramm</translation>
    </message>
    <message>
        <source>&amp;Monthly summary</source>
        <translation>&amp;Monatsübersicht</translation>
    </message>
    <message>
        <source>&amp;Import quality goals...</source>
        <translation>Qualitätsziele &amp;importieren...</translation>
    </message>
    <message>
        <source>Import quality goals</source>
        <translation>Qualitätsziele importieren</translation>
    </message>
    <message>
        <source>%1 quality goal imported</source>
        <translation>%1 Qualitätsziel importiert</translation>
    </message>
    <message>
        <source>%1 quality goals imported</source>
        <translation>%1 Qualitätsziele importiert</translation>
    </message>
    <message>
        <source>Goal files (*.csv *.txt);;All files (*)</source>
        <translation>Zieldateien (*.csv *.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>&amp;Peer comparison</source>
        <translation>&amp;Peer-Vergleich</translation>
    </message>
    <message>
        <source>Import p&amp;eer statistics...</source>
        <translation>P&amp;eer-Statistiken importieren...</translation>
    </message>
    <message>
        <source>Import peer statistics</source>
        <translation>Peer-Statistiken importieren</translation>
    </message>
    <message>
        <source>Peer files (*.csv *.txt);;All files (*)</source>
        <translation>Peer-Dateien (*.csv *.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>%1 row of peer statistics imported</source>
        <translation>%1 Zeile Peer-Statistik importiert</translation>
    </message>
    <message>
        <source>%1 rows of peer statistics imported</source>
        <translation>%1 Zeilen Peer-Statistik importiert</translation>
    </message>
    <message>
        <source>Measurement &amp;uncertainty</source>
        <translation>Mess&amp;unsicherheit</translation>
    </message>
    <message>
        <source>P&amp;atient-based QC</source>
        <translation>P&amp;atientenbasierte QK</translation>
    </message>
    <message>
        <source>Patient QC alarm: %1</source>
        <translation>Patienten-QK-Alarm: %1</translation>
    </message>
    <message>
        <source>An alarm of the patients&apos; results is open until it is acknowledged with the corrective action (Quality &gt; Patient-based QC)</source>
        <translation>Ein Alarm der Patientenergebnisse bleibt offen, bis er mit der Korrekturmaßnahme quittiert ist (Qualität &gt; Patientenbasierte QK)</translation>
    </message>
</context>
<context>
    <name>UMonthlySummary</name>
    <message>
        <source>Month</source>
        <translation>Monat</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Ebene</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Mittelwert</translation>
    </message>
    <message>
        <source>SD</source>
        <translation>SD</translation>
    </message>
    <message>
        <source>CV %</source>
        <translation>VK %</translation>
    </message>
    <message>
        <source>Bias %</source>
        <translation>Bias %</translation>
    </message>
    <message>
        <source>Sigma</source>
        <translation>Sigma</translation>
    </message>
    <message>
        <source>Warnings</source>
        <translation>Warnungen</translation>
    </message>
    <message>
        <source>Rejects</source>
        <translation>Zurückweisungen</translation>
    </message>
    <message>
        <source>Discarded</source>
        <translation>Verworfen</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Hinweise</translation>
    </message>
    <message>
        <source>Quality goal: </source>
        <translation>Qualitätsziel: </translation>
    </message>
    <message>
        <source>no TEa</source>
        <translation>keine TEa</translation>
    </message>
    <message>
        <source>TEa </source>
        <translation>TEa </translation>
    </message>
    <message>
        <source>; target %1: %2</source>
        <translation>; Sollwert %1: %2</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>Monthly summary of %1</source>
        <translation>Monatsübersicht von %1</translation>
    </message>
    <message>
        <source>Months %1</source>
        <translation>Monate %1</translation>
    </message>
    <message>
        <source>CV % = 100 SD / |mean|; bias % = 100 (mean - target) / |target|; Sigma = (TEa % - |bias %|) / CV %; * no target: bias taken as 0</source>
        <translation>VK % = 100 SD / |Mittelwert|; Bias % = 100 (Mittelwert - Sollwert) / |Sollwert|; Sigma = (TEa % - |Bias %|) / VK %; * kein Sollwert: Bias als 0 angenommen</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <source>; bias from %1</source>
        <translation>; Bias aus %1</translation>
    </message>
</context>
<context>
    <name>UPrintJob</name>
    <message>
        <source>No file was named for the PDF printout.</source>
        <translation>Für den PDF-Ausdruck wurde keine Datei angegeben.</translation>
    </message>
    <message>
        <source>the print system gave no reason</source>
        <translation>das Drucksystem nannte keinen Grund</translation>
    </message>
    <message>
        <source>no page</source>
        <translation>keine Seite</translation>
    </message>
    <message>
        <source>pages %1</source>
        <translation>Seiten %1</translation>
    </message>
    <message>
        <source>page %1</source>
        <translation>Seite %1</translation>
    </message>
    <message>
        <source>pages %1 to %2</source>
        <translation>Seiten %1 bis %2</translation>
    </message>
    <message>
        <source>The printout was not saved.<byte value="xd"/></source>
        <translation>Der Ausdruck wurde nicht gespeichert.<byte value="xd"/></translation>
    </message>
    <message>
        <source>The printer %1 did not take the printout: %2<byte value="xd"/>Nothing was printed. Choose another printer, or save the printout as PDF.</source>
        <translation>Der Drucker %1 hat den Ausdruck nicht angenommen: %2<byte value="xd"/>Es wurde nichts gedruckt. Wählen Sie einen anderen Drucker oder speichern Sie den Ausdruck als PDF.</translation>
    </message>
    <message>
        <source>Save the printout as PDF</source>
        <translation>Ausdruck als PDF speichern</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>The printout has %1 page: %2 is not in it. Nothing was printed.</source>
        <translation>Der Ausdruck hat %1 Seite: %2 ist nicht darin enthalten. Es wurde nichts gedruckt.</translation>
    </message>
    <message>
        <source>The printout has %1 page: %2 are not in it. Nothing was printed.</source>
        <translation>Der Ausdruck hat %1 Seite: %2 sind nicht darin enthalten. Es wurde nichts gedruckt.</translation>
    </message>
    <message>
        <source>The printout has %1 pages: %2 is not in it. Nothing was printed.</source>
        <translation>Der Ausdruck hat %1 Seiten: %2 ist nicht darin enthalten. Es wurde nichts gedruckt.</translation>
    </message>
    <message>
        <source>The printout has %1 pages: %2 are not in it. Nothing was printed.</source>
        <translation>Der Ausdruck hat %1 Seiten: %2 sind nicht darin enthalten. Es wurde nichts gedruckt.</translation>
    </message>
</context>
<context>
    <name>UPrnData</name>
    <message>
        <source> (lot %1)</source>
        <translation> (Charge %1)</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Mittelwert</translation>
    </message>
    <message>
        <source>QC data for %1</source>
        <translation>QK-Daten für %1</translation>
    </message>
</context>
<context>
    <name>UPrnReview</name>
    <message>
        <source>Reviewed by %1 on %2 (%3 to %4)</source>
        <translation>Geprüft von %1 am %2 (%3 bis %4)</translation>
    </message>
    <message>
        <source>Reviewed by ______________________________    on ____________________</source>
        <translation>Geprüft von ______________________________    am ____________________</translation>
    </message>
    <message>
        <source>Locked limits, %1 to %2</source>
        <translation>Gesperrte Grenzen, %1 bis %2</translation>
    </message>
    <message>
        <source>Locked limits</source>
        <translation>Gesperrte Grenzen</translation>
    </message>
    <message>
        <source>Fixed limits, typed in</source>
        <translation>Feste Grenzen, eingegeben</translation>
    </message>
    <message>
        <source>Mobile limits</source>
        <translation>Gleitende Grenzen</translation>
    </message>
    <message>
        <source>Mobile limits, %1 to %2</source>
        <translation>Gleitende Grenzen, %1 bis %2</translation>
    </message>
</context>
<context>
    <name>UPrnTable</name>
    <message>
        <source>  Archive document - Keep it  </source>
        <translation>  Archivdokument - Bitte aufbewahren  </translation>
    </message>
    <message>
        <source>- Page %1/%2 - %3 - Printed on %4 -</source>
        <translation>- Seite %1/%2 - %3 - Gedruckt am %4 -</translation>
    </message>
    <message>
        <source>Journal %1</source>
        <translation>Journal %1</translation>
    </message>
</context>
<context>
    <name>UQualityCharts</name>
    <message>
        <source>Level %1</source>
        <translation>Ebene %1</translation>
    </message>
    <message>
        <source>Power function of the rules</source>
        <translation>Gütefunktion der Regeln</translation>
    </message>
    <message>
        <source>Systematic error (SD)</source>
        <translation>Systematischer Fehler (SD)</translation>
    </message>
    <message>
        <source>Probability of rejection</source>
        <translation>Zurückweisungswahrscheinlichkeit</translation>
    </message>
    <message>
        <source>Program&apos;s rules</source>
        <translation>Regeln des Programms</translation>
    </message>
    <message>
        <source>1:3s alone</source>
        <translation>1:3s allein</translation>
    </message>
    <message>
        <source>1:2s alone</source>
        <translation>1:2s allein</translation>
    </message>
    <message>
        <source>No level is judged by the rules</source>
        <translation>Keine Ebene wird von den Regeln beurteilt</translation>
    </message>
    <message>
        <source> (% of TEa)</source>
        <translation> (% der TEa)</translation>
    </message>
    <message>
        <source>Method decision chart</source>
        <translation>Methodenentscheidungsdiagramm</translation>
    </message>
    <message>
        <source>|Bias|</source>
        <translation>|Bias|</translation>
    </message>
    <message>
        <source>Sigma %1</source>
        <translation>Sigma %1</translation>
    </message>
    <message>
        <source>No level with a Sigma</source>
        <translation>Keine Ebene mit einem Sigma</translation>
    </message>
    <message>
        <source> (bias?)</source>
        <translation> (Bias?)</translation>
    </message>
    <message>
        <source>z-scores of all levels: (value - mean) / SD</source>
        <translation>z-Scores aller Ebenen: (Wert - Mittelwert) / SD</translation>
    </message>
    <message>
        <source>z (SD)</source>
        <translation>z (SD)</translation>
    </message>
    <message>
        <source>No point in the period</source>
        <translation>Kein Punkt im Zeitraum</translation>
    </message>
    <message>
        <source>Youden plot</source>
        <translation>Youden-Diagramm</translation>
    </message>
    <message>
        <source>z of </source>
        <translation>z von </translation>
    </message>
    <message>
        <source>No run with values of both levels</source>
        <translation>Keine Serie mit Werten beider Ebenen</translation>
    </message>
    <message>
        <source> off scale: CV %1, |bias| %2</source>
        <translation> außerhalb der Skala: VK %1, |Bias| %2</translation>
    </message>
    <message>
        <source>CV</source>
        <translation>VK</translation>
    </message>
    <message>
        <source>Maximum run size, N=%1</source>
        <translation>Maximale Serienlänge, N=%1</translation>
    </message>
    <message>
        <source>Maximum run size</source>
        <translation>Maximale Serienlänge</translation>
    </message>
    <message>
        <source>Sigma</source>
        <translation>Sigma</translation>
    </message>
    <message>
        <source>Patients (log)</source>
        <translation>Patienten (log)</translation>
    </message>
    <message>
        <source> (in force)</source>
        <translation> (geltend)</translation>
    </message>
    <message>
        <source>No rule set to plan</source>
        <translation>Kein Regelsatz zu planen</translation>
    </message>
    <message>
        <source>moving average</source>
        <translation>gleitender Mittelwert</translation>
    </message>
    <message>
        <source>moving median</source>
        <translation>gleitender Median</translation>
    </message>
    <message>
        <source>EWMA, lambda %1</source>
        <translation>EWMA, Lambda %1</translation>
    </message>
    <message>
        <source>Patient-based QC: %1, N %2</source>
        <translation>Patientenbasierte QK: %1, N %2</translation>
    </message>
    <message>
        <source>Statistic</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>No statistic yet</source>
        <translation>Noch keine Statistik</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Zielwert</translation>
    </message>
    <message>
        <source>Control limits</source>
        <translation>Kontrollgrenzen</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarm</translation>
    </message>
</context>
<context>
    <name>URefCommon</name>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
</context>
<context>
    <name>URefPrintout</name>
    <message>
        <source>Begin</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Control material</source>
        <translation>Kontrollmaterial</translation>
    </message>
    <message>
        <source>Lot</source>
        <translation>Charge</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Mittelwert</translation>
    </message>
    <message>
        <source>CV</source>
        <translation>VK</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>QC1</source>
        <translation>QC1</translation>
    </message>
    <message>
        <source>QC2</source>
        <translation>QC2</translation>
    </message>
    <message>
        <source>QC3</source>
        <translation>QC3</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
</context>
<context>
    <name>URisks</name>
    <message>
        <source>Unlock with the password</source>
        <translation>Mit dem Passwort entsperren</translation>
    </message>
</context>
<context>
    <name>UShowArchive</name>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
</context>
<context>
    <name>UShowJournal</name>
    <message>
        <source>(all)</source>
        <translation>(alle)</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>Nr.</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Analyte</source>
        <translation>Analyt</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Ebene</translation>
    </message>
    <message>
        <source>Point</source>
        <translation>Punkt</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>Vorher</translation>
    </message>
    <message>
        <source>After</source>
        <translation>Nachher</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>Journal of changes</source>
        <translation>Änderungsjournal</translation>
    </message>
    <message>
        <source>Reading the journal...</source>
        <translation>Das Journal wird gelesen...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Checking the journal...</source>
        <translation>Das Journal wird geprüft...</translation>
    </message>
</context>
<context>
    <name>UShowLimits</name>
    <message>
        <source>Control materials</source>
        <translation>Kontrollmaterialien</translation>
    </message>
    <message>
        <source>Lots</source>
        <translation>Chargen</translation>
    </message>
    <message>
        <source>QC mode</source>
        <translation>QK-Modus</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Sollwert</translation>
    </message>
    <message>
        <source>Warning limits</source>
        <translation>Warngrenzen</translation>
    </message>
    <message>
        <source>Action limits</source>
        <translation>Eingriffsgrenzen</translation>
    </message>
    <message>
        <source>Dates ref interval</source>
        <translation>Daten Referenzintervall</translation>
    </message>
    <message>
        <source># points in ref interval</source>
        <translation>Anzahl Punkte im Referenzintervall</translation>
    </message>
    <message>
        <source>Reference CV</source>
        <translation>Referenz-VK</translation>
    </message>
    <message>
        <source># degrees of freedom</source>
        <translation>Anzahl Freiheitsgrade</translation>
    </message>
    <message>
        <source>on</source>
        <translation>ein</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>Risks: alert limits %1, action limits %2</source>
        <translation>Risiken: Warngrenzen %1, Eingriffsgrenzen %2</translation>
    </message>
    <message>
        <source>Common CV: %1    Westgard multirules: %2</source>
        <translation>Gemeinsamer VK: %1    Westgard-Regeln: %2</translation>
    </message>
    <message>
        <source>QC limits for %1</source>
        <translation>QK-Grenzen für %1</translation>
    </message>
</context>
<context>
    <name>USigmaView</name>
    <message>
        <source>Period</source>
        <translation>Zeitraum</translation>
    </message>
    <message>
        <source>N (values counted)</source>
        <translation>N (gezählte Werte)</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Mittelwert</translation>
    </message>
    <message>
        <source>SD</source>
        <translation>SD</translation>
    </message>
    <message>
        <source>CV</source>
        <translation>VK</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Sollwert</translation>
    </message>
    <message>
        <source>Bias</source>
        <translation>Bias</translation>
    </message>
    <message>
        <source>TEa</source>
        <translation>TEa</translation>
    </message>
    <message>
        <source>Sigma</source>
        <translation>Sigma</translation>
    </message>
    <message>
        <source>Advised rules</source>
        <translation>Empfohlene Regeln</translation>
    </message>
    <message>
        <source>Advised run plan</source>
        <translation>Empfohlener Serienplan</translation>
    </message>
    <message>
        <source>Critical SE (SD)</source>
        <translation>Kritischer SE (SD)</translation>
    </message>
    <message>
        <source>Ped, program&apos;s rules</source>
        <translation>Ped, Regeln des Programms</translation>
    </message>
    <message>
        <source>Pfr, program&apos;s rules</source>
        <translation>Pfr, Regeln des Programms</translation>
    </message>
    <message>
        <source>Ped / Pfr, 1:3s alone</source>
        <translation>Ped / Pfr, 1:3s allein</translation>
    </message>
    <message>
        <source>Ped / Pfr, 1:2s alone</source>
        <translation>Ped / Pfr, 1:2s allein</translation>
    </message>
    <message>
        <source> or </source>
        <translation> oder </translation>
    </message>
    <message>
        <source>Level %1</source>
        <translation>Ebene %1</translation>
    </message>
    <message>
        <source>no point</source>
        <translation>kein Punkt</translation>
    </message>
    <message>
        <source>none (bias not known)</source>
        <translation>keiner (Bias unbekannt)</translation>
    </message>
    <message>
        <source>No quality goal for %1: set one in Parameters &gt; Analytes, Quality goals.</source>
        <translation>Kein Qualitätsziel für %1: Legen Sie eines unter Parameter &gt; Analyte, Qualitätsziele fest.</translation>
    </message>
    <message>
        <source>Quality goal of %1: TEa </source>
        <translation>Qualitätsziel von %1: TEa </translation>
    </message>
    <message>
        <source>not set</source>
        <translation>nicht festgelegt</translation>
    </message>
    <message>
        <source>; target %1: %2</source>
        <translation>; Sollwert %1: %2</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>: no advice, Sigma not available (%1).
</source>
        <translation>: keine Empfehlung, Sigma nicht verfügbar (%1).
</translation>
    </message>
    <message>
        <source>The program&apos;s rules detect the critical error in fewer than 90 % of the runs.
</source>
        <translation>Die Regeln des Programms erkennen den kritischen Fehler in weniger als 90 % der Serien.
</translation>
    </message>
    <message>
        <source>* No target: the bias is not known; Sigma is computed with a bias of 0.
</source>
        <translation>* Kein Sollwert: Der Bias ist unbekannt; Sigma wird mit einem Bias von 0 berechnet.
</translation>
    </message>
    <message>
        <source>Ped and Pfr of the program&apos;s rules: %1 simulated runs (fixed seed) at the rule set of %2.</source>
        <translation>Ped und Pfr der Regeln des Programms: %1 simulierte Serien (fester Startwert) mit dem Regelwerk von %2.</translation>
    </message>
    <message>
        <source>Period: each level&apos;s reference points (locked interval, else the points in view)</source>
        <translation>Zeitraum: die Referenzpunkte jeder Ebene (gesperrtes Intervall, sonst die angezeigten Punkte)</translation>
    </message>
    <message>
        <source>Period: %1 to %2</source>
        <translation>Zeitraum: %1 bis %2</translation>
    </message>
    <message>
        <source>Quality goals and Sigma for %1</source>
        <translation>Qualitätsziele und Sigma für %1</translation>
    </message>
    <message>
        <source>Formulas:</source>
        <translation>Formeln:</translation>
    </message>
    <message>
        <source>- Quality goals and Sigma for %1 - Printed on %2 -</source>
        <translation>- Qualitätsziele und Sigma für %1 - Gedruckt am %2 -</translation>
    </message>
    <message>
        <source>n/a: %1</source>
        <translation>n. v.: %1</translation>
    </message>
    <message>
        <source> (common CV)</source>
        <translation> (gemeinsamer VK)</translation>
    </message>
    <message>
        <source>none: the goal is not met</source>
        <translation>keine: das Ziel wird verfehlt</translation>
    </message>
    <message>
        <source>, bias %1 % for a TEa of %2 %</source>
        <translation>, Bias %1 % bei einer TEa von %2 %</translation>
    </message>
    <message>
        <source>: the method does not meet the quality goal, and no QC rule can detect its errors in time. Improve the method (its bias or imprecision) before choosing rules.
</source>
        <translation>: die Methode erfüllt das Qualitätsziel nicht, und keine QK-Regel kann ihre Fehler rechtzeitig erkennen. Verbessern Sie die Methode (Bias oder Unpräzision), bevor Sie Regeln wählen.
</translation>
    </message>
    <message>
        <source>* No peer or EQA data: the bias is not known; Sigma is computed with a bias of 0.
</source>
        <translation>* Keine Peer- oder Ringversuchsdaten: Der Bias ist unbekannt; Sigma wird mit einem Bias von 0 berechnet.
</translation>
    </message>
    <message>
        <source>Bias from %1.
</source>
        <translation>Bias aus %1.
</translation>
    </message>
    <message>
        <source>Rules in force</source>
        <translation>Geltende Regeln</translation>
    </message>
    <message>
        <source>Ped / Pfr, rules in force</source>
        <translation>Ped / Pfr, geltende Regeln</translation>
    </message>
    <message>
        <source>MaxE(Nuf) / max run size</source>
        <translation>MaxE(Nuf) / max. Serienlänge</translation>
    </message>
    <message>
        <source>no limit</source>
        <translation>keine Grenze</translation>
    </message>
    <message>
        <source>Rules in force %1, N=%2: Ped, Pfr and run sizes exact.</source>
        <translation>Geltende Regeln %1, N=%2: Ped, Pfr und Serienlängen exakt.</translation>
    </message>
    <message>
        <source>Rules in force %1, N=%2: Ped, Pfr and run sizes from %3 simulated runs (fixed seed), standard error of Ped and Pfr at most %4.</source>
        <translation>Geltende Regeln %1, N=%2: Ped, Pfr und Serienlängen aus %3 simulierten Serien (fester Startwert), Standardfehler von Ped und Pfr höchstens %4.</translation>
    </message>
    <message>
        <source>Maximum run size: the most patient samples between two QC events (one event per run, bracketing it) keeping MaxE(Nuf), the expected unacceptable patient results reported at the worst systematic error, at 1 or below (Parvin&apos;s model).</source>
        <translation>Maximale Serienlänge: die meisten Patientenproben zwischen zwei QC-Ereignissen (ein Ereignis je Serie, sie einschließend), bei denen MaxE(Nuf), die erwartete Zahl unannehmbarer berichteter Patientenergebnisse beim ungünstigsten systematischen Fehler, höchstens 1 bleibt (Modell nach Parvin).</translation>
    </message>
</context>
<context>
    <name>UValidCQ</name>
    <message>
        <source>Retrieve QC</source>
        <translation>QK zurück</translation>
    </message>
    <message>
        <source>Reject QC</source>
        <translation>QK ablehnen</translation>
    </message>
</context>
<context>
    <name>UZScores</name>
    <message>
        <source>Normalised charts of %1</source>
        <translation>Normierte Karten von %1</translation>
    </message>
    <message>
        <source>Level %1: </source>
        <translation>Ebene %1: </translation>
    </message>
    <message>
        <source>no z-score, %1</source>
        <translation>kein z-Score, %1</translation>
    </message>
    <message>
        <source>mean %1, SD %2 over %3 values</source>
        <translation>Mittelwert %1, SD %2 über %3 Werte</translation>
    </message>
    <message>
        <source>z = (value - mean) / SD; mean and SD of each level&apos;s reference points:</source>
        <translation>z = (Wert - Mittelwert) / SD; Mittelwert und SD der Referenzpunkte jeder Ebene:</translation>
    </message>
    <message>
        <source>- Normalised charts of %1 - Printed on %2 -</source>
        <translation>- Normierte Karten von %1 - Gedruckt am %2 -</translation>
    </message>
    <message>
        <source>A Youden plot needs two levels</source>
        <translation>Ein Youden-Diagramm braucht zwei Ebenen</translation>
    </message>
    <message>
        <source>mean %1, SD %2 of the common CV over %3 values</source>
        <translation>Mittelwert %1, SD %2 des gemeinsamen VK über %3 Werte</translation>
    </message>
</context>
<context>
    <name>TTextGuard</name>
    <message>
        <source>The character %1 cannot be stored: Varnholt&apos;s files hold Windows-1252 text.</source>
        <translation>Das Zeichen %1 kann nicht gespeichert werden: Die Dateien von Varnholt enthalten Windows-1252-Text.</translation>
    </message>
</context>
<context>
    <name>TDatePicker</name>
    <message>
        <source>%1 is before %2, the earliest date that can be entered</source>
        <translation>%1 liegt vor dem %2, dem frühesten Datum, das eingegeben werden kann</translation>
    </message>
    <message>
        <source>%1 is not a valid date</source>
        <translation>%1 ist kein gültiges Datum</translation>
    </message>
</context>
<context>
    <name>UPeerView</name>
    <message>
        <source>good</source>
        <translation>gut</translation>
    </message>
    <message>
        <source>watch</source>
        <translation>beobachten</translation>
    </message>
    <message>
        <source>act</source>
        <translation>handeln</translation>
    </message>
    <message>
        <source>Level %1</source>
        <translation>Ebene %1</translation>
    </message>
</context>
<context>
    <name>TWinPeer</name>
    <message>
        <source>&amp;Month</source>
        <translation>&amp;Monat</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Monat</translation>
    </message>
    <message>
        <source>Laboratory and peer figures per level</source>
        <translation>Labor- und Peer-Kennzahlen je Ebene</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Ebene</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Material</translation>
    </message>
    <message>
        <source>Lot</source>
        <translation>Charge</translation>
    </message>
    <message>
        <source>Lab N</source>
        <translation>Labor N</translation>
    </message>
    <message>
        <source>Lab mean</source>
        <translation>Labor-Mittelwert</translation>
    </message>
    <message>
        <source>Lab SD</source>
        <translation>Labor-SD</translation>
    </message>
    <message>
        <source>Peer mean</source>
        <translation>Peer-Mittelwert</translation>
    </message>
    <message>
        <source>Peer SD</source>
        <translation>Peer-SD</translation>
    </message>
    <message>
        <source>SDI</source>
        <translation>SDI</translation>
    </message>
    <message>
        <source>CVR</source>
        <translation>CVR</translation>
    </message>
    <message>
        <source>Band</source>
        <translation>Bereich</translation>
    </message>
    <message>
        <source>Peer chart</source>
        <translation>Peer-Diagramm</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Kein Analyt.</translation>
    </message>
    <message>
        <source>Peer comparison of %1</source>
        <translation>Peer-Vergleich von %1</translation>
    </message>
    <message>
        <source>No peer statistics for %1: import them with File &gt; Import peer statistics.</source>
        <translation>Keine Peer-Statistiken für %1: importieren Sie sie mit Datei &gt; Peer-Statistiken importieren.</translation>
    </message>
    <message>
        <source>Level %1: no value of %2 lot %3 in the month</source>
        <translation>Ebene %1: kein Wert von %2 Charge %3 im Monat</translation>
    </message>
    <message>
        <source>SDI = (lab mean - peer mean) / peer SD: good up to 1, watch up to 2, act beyond; CVR = lab CV / peer CV.</source>
        <translation>SDI = (Labor-Mittelwert - Peer-Mittelwert) / Peer-SD: gut bis 1, beobachten bis 2, darüber handeln; CVR = Labor-VK / Peer-VK.</translation>
    </message>
</context>
<context>
    <name>TWinMu</name>
    <message>
        <source>Analyte</source>
        <translation>Analyt</translation>
    </message>
    <message>
        <source>&amp;Analyte</source>
        <translation>&amp;Analyt</translation>
    </message>
    <message>
        <source>First date</source>
        <translation>Erstes Datum</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Von</translation>
    </message>
    <message>
        <source>Last date</source>
        <translation>Letztes Datum</translation>
    </message>
    <message>
        <source>&amp;to</source>
        <translation>&amp;bis</translation>
    </message>
    <message>
        <source>Coverage factor k</source>
        <translation>Erweiterungsfaktor k</translation>
    </message>
    <message>
        <source>&amp;k</source>
        <translation>&amp;k</translation>
    </message>
    <message>
        <source>Source of the bias</source>
        <translation>Quelle des Bias</translation>
    </message>
    <message>
        <source>&amp;Bias source</source>
        <translation>Bias-&amp;Quelle</translation>
    </message>
    <message>
        <source>Stated uncertainty of the target in percent</source>
        <translation>Angegebene Unsicherheit des Zielwerts in Prozent</translation>
    </message>
    <message>
        <source>Target &amp;u %</source>
        <translation>&amp;u Zielwert %</translation>
    </message>
    <message>
        <source>Maximum allowable U in percent</source>
        <translation>Maximal zulässiges U in Prozent</translation>
    </message>
    <message>
        <source>&amp;Max. U %</source>
        <translation>&amp;Max. U %</translation>
    </message>
    <message>
        <source>Within-subject biological variation CVI in percent</source>
        <translation>Intraindividuelle biologische Variation CVI in Prozent</translation>
    </message>
    <message>
        <source>or &amp;CVI %</source>
        <translation>oder &amp;CVI %</translation>
    </message>
    <message>
        <source>Measurement uncertainty per level</source>
        <translation>Messunsicherheit je Ebene</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Ebene</translation>
    </message>
    <message>
        <source>Lots (n, CV)</source>
        <translation>Chargen (n, VK)</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>u(Rw) %</source>
        <translation>u(Rw) %</translation>
    </message>
    <message>
        <source>u(bias) %</source>
        <translation>u(Bias) %</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelle</translation>
    </message>
    <message>
        <source>u_c %</source>
        <translation>u_c %</translation>
    </message>
    <message>
        <source>U %</source>
        <translation>U %</translation>
    </message>
    <message>
        <source>Max. U %</source>
        <translation>Max. U %</translation>
    </message>
    <message>
        <source>Met</source>
        <translation>Erfüllt</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Kein Analyt.</translation>
    </message>
    <message>
        <source>%1 must be a number not below zero</source>
        <translation>%1 muss eine Zahl nicht unter null sein</translation>
    </message>
    <message>
        <source>%1 must be a number above zero</source>
        <translation>%1 muss eine Zahl über null sein</translation>
    </message>
    <message>
        <source>The maximum U</source>
        <translation>Das maximale U</translation>
    </message>
    <message>
        <source>The CVI</source>
        <translation>Der CVI</translation>
    </message>
    <message>
        <source>Give the maximum U or the CVI, not both</source>
        <translation>Das maximale U oder den CVI angeben, nicht beides</translation>
    </message>
    <message>
        <source>The target&apos;s u</source>
        <translation>Das u des Zielwerts</translation>
    </message>
    <message>
        <source>Measurement uncertainty of %1</source>
        <translation>Messunsicherheit von %1</translation>
    </message>
    <message>
        <source>Level %1: no uncertainty: %2</source>
        <translation>Ebene %1: keine Unsicherheit: %2</translation>
    </message>
    <message>
        <source>Level %1: %2</source>
        <translation>Ebene %1: %2</translation>
    </message>
</context>
<context>
    <name>TUncertaintyTexts</name>
    <message>
        <source>%1 %2: n %3, CV %4 %</source>
        <translation>%1 %2: n %3, VK %4 %</translation>
    </message>
    <message>
        <source>%1 %2: n %3</source>
        <translation>%1 %2: n %3</translation>
    </message>
    <message>
        <source>(left out)</source>
        <translation>(nicht berücksichtigt)</translation>
    </message>
    <message>
        <source>target</source>
        <translation>Zielwert</translation>
    </message>
    <message>
        <source>peer data</source>
        <translation>Peer-Daten</translation>
    </message>
    <message>
        <source>EQA results</source>
        <translation>Ringversuchsergebnisse</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>Source of the bias: the target&apos;s stated standard uncertainty, %1 %</source>
        <translation>Quelle des Bias: die angegebene Standardunsicherheit des Zielwerts, %1 %</translation>
    </message>
    <message>
        <source>Source of the bias: the EQA results of the period (RMS of the relative biases with the uncertainty of the assigned values)</source>
        <translation>Quelle des Bias: die Ringversuchsergebnisse des Zeitraums (RMS der relativen Bias mit der Unsicherheit der zugewiesenen Werte)</translation>
    </message>
    <message>
        <source>Source of the bias: the peer data of the period</source>
        <translation>Quelle des Bias: die Peer-Daten des Zeitraums</translation>
    </message>
    <message>
        <source>Source of the bias: none, u(bias) = 0</source>
        <translation>Quelle des Bias: keine, u(Bias) = 0</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>u(Rw) = sqrt(sum (n_i - 1) CV_i^2 / sum (n_i - 1)) over the lots; u_c = sqrt(u(Rw)^2 + u(bias)^2); U = k x u_c with k = %1</source>
        <translation>u(Rw) = sqrt(Summe (n_i - 1) VK_i^2 / Summe (n_i - 1)) über die Chargen; u_c = sqrt(u(Rw)^2 + u(Bias)^2); U = k x u_c mit k = %1</translation>
    </message>
    <message>
        <source>Measurement uncertainty of %1</source>
        <translation>Messunsicherheit von %1</translation>
    </message>
    <message>
        <source>Period: %1 to %2</source>
        <translation>Zeitraum: %1 bis %2</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Ebene</translation>
    </message>
    <message>
        <source>Lots (n, CV)</source>
        <translation>Chargen (n, VK)</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>u(Rw) %</source>
        <translation>u(Rw) %</translation>
    </message>
    <message>
        <source>u(bias) %</source>
        <translation>u(Bias) %</translation>
    </message>
    <message>
        <source>u_c %</source>
        <translation>u_c %</translation>
    </message>
    <message>
        <source>U %</source>
        <translation>U %</translation>
    </message>
    <message>
        <source>k</source>
        <translation>k</translation>
    </message>
    <message>
        <source>Max. U %</source>
        <translation>Max. U %</translation>
    </message>
    <message>
        <source>Met</source>
        <translation>Erfüllt</translation>
    </message>
    <message>
        <source>Level %1: %2</source>
        <translation>Ebene %1: %2</translation>
    </message>
    <message>
        <source>Printed on %1</source>
        <translation>Gedruckt am %1</translation>
    </message>
    <message>
        <source>Level %1: no uncertainty: %2</source>
        <translation>Ebene %1: keine Unsicherheit: %2</translation>
    </message>
</context>
<context>
    <name>TWinPatientQc</name>
    <message>
        <source>Sim&amp;ulate...</source>
        <translation>Sim&amp;ulieren...</translation>
    </message>
    <message>
        <source>Each procedure tried on the stream with biases introduced: false alarms and patients affected before detection</source>
        <translation>Jedes Verfahren am Datenstrom mit eingeführten Abweichungen erprobt: Fehlalarme und betroffene Patienten bis zur Erkennung</translation>
    </message>
    <message>
        <source>Procedure</source>
        <translation>Verfahren</translation>
    </message>
    <message>
        <source>Moving average</source>
        <translation>Gleitender Mittelwert</translation>
    </message>
    <message>
        <source>Moving median</source>
        <translation>Gleitender Median</translation>
    </message>
    <message>
        <source>EWMA</source>
        <translation>EWMA</translation>
    </message>
    <message>
        <source>&amp;Procedure</source>
        <translation>&amp;Verfahren</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>&amp;N</source>
        <translation>&amp;N</translation>
    </message>
    <message>
        <source>Lambda</source>
        <translation>Lambda</translation>
    </message>
    <message>
        <source>&amp;Lambda</source>
        <translation>&amp;Lambda</translation>
    </message>
    <message>
        <source>Truncation low</source>
        <translation>Kappung unten</translation>
    </message>
    <message>
        <source>&amp;Truncation</source>
        <translation>&amp;Kappung</translation>
    </message>
    <message>
        <source>Truncation high</source>
        <translation>Kappung oben</translation>
    </message>
    <message>
        <source>Values outside the truncation limits</source>
        <translation>Werte außerhalb der Kappungsgrenzen</translation>
    </message>
    <message>
        <source>left out</source>
        <translation>ausgelassen</translation>
    </message>
    <message>
        <source>set to the nearer limit</source>
        <translation>auf die nähere Grenze gesetzt</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Zielwert</translation>
    </message>
    <message>
        <source>T&amp;arget</source>
        <translation>&amp;Zielwert</translation>
    </message>
    <message>
        <source>Lower control limit</source>
        <translation>Untere Kontrollgrenze</translation>
    </message>
    <message>
        <source>L&amp;imits</source>
        <translation>&amp;Grenzen</translation>
    </message>
    <message>
        <source>Upper control limit</source>
        <translation>Obere Kontrollgrenze</translation>
    </message>
    <message>
        <source>P&amp;ropose</source>
        <translation>Vo&amp;rschlagen</translation>
    </message>
    <message>
        <source>Target, limits and truncation from the stream&apos;s own history</source>
        <translation>Zielwert, Grenzen und Kappung aus der eigenen Historie der Ergebnisreihe</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Patient-based QC chart</source>
        <translation>Diagramm der patientenbasierten QK</translation>
    </message>
    <message>
        <source>Alarms</source>
        <translation>Alarme</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Corrective action</source>
        <translation>Korrekturmaßnahme</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Bediener</translation>
    </message>
    <message>
        <source>Acknowledged (UTC)</source>
        <translation>Quittiert (UTC)</translation>
    </message>
    <message>
        <source>Alar&amp;ms</source>
        <translation>Al&amp;arme</translation>
    </message>
    <message>
        <source>&amp;Operator</source>
        <translation>&amp;Bediener</translation>
    </message>
    <message>
        <source>Ac&amp;knowledge...</source>
        <translation>&amp;Quittieren...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Kein Analyt.</translation>
    </message>
    <message>
        <source>Patient-based QC of %1</source>
        <translation>Patientenbasierte QK von %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Alarm of %1 at %2: what was done?</source>
        <translation>Alarm von %1 um %2: was wurde getan?</translation>
    </message>
    <message>
        <source>Results: %1; left out by rule: %2 not numeric, %3 censored, %4 flagged</source>
        <translation>Ergebnisse: %1; nach Regel ausgelassen: %2 nicht numerisch, %3 zensiert, %4 markiert</translation>
    </message>
    <message>
        <source>; outside the truncation limits: %1</source>
        <translation>; außerhalb der Kappungsgrenzen: %1</translation>
    </message>
    <message>
        <source>No procedure is kept for %1: set one (Propose fills it from the stream) and save it.</source>
        <translation>Für %1 ist kein Verfahren gespeichert: eines einstellen (Vorschlagen füllt es aus der Ergebnisreihe) und speichern.</translation>
    </message>
    <message>
        <source>acknowledged</source>
        <translation>quittiert</translation>
    </message>
    <message>
        <source>open</source>
        <translation>offen</translation>
    </message>
</context>
<context>
    <name>TWinEqa</name>
    <message>
        <source>EQA results with their z-scores</source>
        <translation>Ringversuchsergebnisse mit ihren z-Scores</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Scheme</source>
        <translation>Programm</translation>
    </message>
    <message>
        <source>Distribution</source>
        <translation>Aussendung</translation>
    </message>
    <message>
        <source>Sample</source>
        <translation>Probe</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Assigned</source>
        <translation>Zielwert</translation>
    </message>
    <message>
        <source>SD</source>
        <translation>SD</translation>
    </message>
    <message>
        <source>Participants</source>
        <translation>Teilnehmer</translation>
    </message>
    <message>
        <source>z</source>
        <translation>z</translation>
    </message>
    <message>
        <source>Band</source>
        <translation>Bewertung</translation>
    </message>
    <message>
        <source>Bias %</source>
        <translation>Abweichung %</translation>
    </message>
    <message>
        <source>Corrective action</source>
        <translation>Korrekturmaßnahme</translation>
    </message>
    <message>
        <source>Chart of the z-scores</source>
        <translation>Diagramm der z-Scores</translation>
    </message>
    <message>
        <source>&amp;Add...</source>
        <translation>&amp;Hinzufügen...</translation>
    </message>
    <message>
        <source>&amp;Import...</source>
        <translation>&amp;Importieren...</translation>
    </message>
    <message>
        <source>&amp;Corrective action...</source>
        <translation>&amp;Korrekturmaßnahme...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Kein Analyt.</translation>
    </message>
    <message>
        <source>External quality assessment of %1</source>
        <translation>Ringversuche von %1</translation>
    </message>
    <message>
        <source>none recorded</source>
        <translation>keine erfasst</translation>
    </message>
    <message>
        <source>No EQA results for %1: add them as the scheme reports them, or import a file.</source>
        <translation>Keine Ringversuchsergebnisse für %1: Fügen Sie sie so hinzu, wie das Programm sie meldet, oder importieren Sie eine Datei.</translation>
    </message>
    <message>
        <source>Unacceptable results without a corrective action: %1. Select one and choose Corrective action.</source>
        <translation>Inakzeptable Ergebnisse ohne Korrekturmaßnahme: %1. Wählen Sie eines aus und dann Korrekturmaßnahme.</translation>
    </message>
    <message>
        <source>z = (result - assigned) / SD: acceptable up to 2, questionable below 3, unacceptable from 3; no z-score with fewer than 5 participants.</source>
        <translation>z = (Ergebnis - Zielwert) / SD: akzeptabel bis 2, fraglich unter 3, inakzeptabel ab 3; kein z-Score bei weniger als 5 Teilnehmern.</translation>
    </message>
    <message>
        <source>%1 %2: the EQA result is unacceptable (z = %3). What was done?</source>
        <translation>%1 %2: Das Ringversuchsergebnis ist inakzeptabel (z = %3). Was wurde getan?</translation>
    </message>
    <message>
        <source>Import EQA results</source>
        <translation>Ringversuchsergebnisse importieren</translation>
    </message>
    <message>
        <source>EQA files (*.csv *.txt);;All files (*)</source>
        <translation>Ringversuchsdateien (*.csv *.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>%1 EQA result imported</source>
        <translation>%1 Ringversuchsergebnis importiert</translation>
    </message>
    <message>
        <source>%1 EQA results imported</source>
        <translation>%1 Ringversuchsergebnisse importiert</translation>
    </message>
</context>
<context>
    <name>TWinEqaAdd</name>
    <message>
        <source>Add an EQA result</source>
        <translation>Ringversuchsergebnis hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Scheme</source>
        <translation>&amp;Programm</translation>
    </message>
    <message>
        <source>&amp;Distribution</source>
        <translation>&amp;Aussendung</translation>
    </message>
    <message>
        <source>Sa&amp;mple</source>
        <translation>Pro&amp;be</translation>
    </message>
    <message>
        <source>Da&amp;te (yyyy-mm-dd)</source>
        <translation>Da&amp;tum (JJJJ-MM-TT)</translation>
    </message>
    <message>
        <source>&amp;Result</source>
        <translation>&amp;Ergebnis</translation>
    </message>
    <message>
        <source>&amp;Assigned value</source>
        <translation>&amp;Zielwert</translation>
    </message>
    <message>
        <source>Evaluation S&amp;D</source>
        <translation>Bewertungs-S&amp;D</translation>
    </message>
    <message>
        <source>&amp;Participants</source>
        <translation>Teil&amp;nehmer</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>UEqaView</name>
    <message>
        <source>acceptable</source>
        <translation>akzeptabel</translation>
    </message>
    <message>
        <source>questionable</source>
        <translation>fraglich</translation>
    </message>
    <message>
        <source>unacceptable</source>
        <translation>inakzeptabel</translation>
    </message>
</context>
<context>
    <name>TWinPqcTuning</name>
    <message>
        <source>Biases</source>
        <translation>Abweichungen</translation>
    </message>
    <message>
        <source>&amp;Biases</source>
        <translation>&amp;Abweichungen</translation>
    </message>
    <message>
        <source>Bias unit</source>
        <translation>Einheit der Abweichung</translation>
    </message>
    <message>
        <source>percent</source>
        <translation>Prozent</translation>
    </message>
    <message>
        <source>units</source>
        <translation>Einheiten</translation>
    </message>
    <message>
        <source>Runs per line</source>
        <translation>Durchläufe je Zeile</translation>
    </message>
    <message>
        <source>&amp;Runs</source>
        <translation>&amp;Durchläufe</translation>
    </message>
    <message>
        <source>Seed</source>
        <translation>Startwert</translation>
    </message>
    <message>
        <source>S&amp;eed</source>
        <translation>S&amp;tartwert</translation>
    </message>
    <message>
        <source>&amp;Simulate</source>
        <translation>&amp;Simulieren</translation>
    </message>
    <message>
        <source>Procedures under each bias</source>
        <translation>Verfahren unter jeder Abweichung</translation>
    </message>
    <message>
        <source>Procedure</source>
        <translation>Verfahren</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>Lambda</source>
        <translation>Lambda</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Untere Grenze</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Obere Grenze</translation>
    </message>
    <message>
        <source>Bias</source>
        <translation>Abweichung</translation>
    </message>
    <message>
        <source>False alarms per 1000</source>
        <translation>Fehlalarme je 1000</translation>
    </message>
    <message>
        <source>ANPed</source>
        <translation>ANPed</translation>
    </message>
    <message>
        <source>ANPed 95th</source>
        <translation>ANPed 95. Perzentil</translation>
    </message>
    <message>
        <source>Undetected</source>
        <translation>Nicht erkannt</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>Bias detection curve</source>
        <translation>Erkennungskurve der Abweichung</translation>
    </message>
    <message>
        <source>&amp;Use these settings</source>
        <translation>Diese Einstellungen &amp;übernehmen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Each procedure gets its limits from the stream; each bias starts at random points and runs until the first alarm. Choose Simulate.</source>
        <translation>Jedes Verfahren erhält seine Grenzen aus dem Datenstrom; jede Abweichung beginnt an zufälligen Stellen und läuft bis zum ersten Alarm. Wählen Sie Simulieren.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 runs per line, seed %2: the same stream, settings, runs and seed give the same figures. Choose a line and Use these settings; Save in the patient-based QC window keeps them.</source>
        <translation>%1 Durchläufe je Zeile, Startwert %2: Derselbe Datenstrom, dieselben Einstellungen, Durchläufe und Startwert ergeben dieselben Zahlen. Wählen Sie eine Zeile und Diese Einstellungen übernehmen; Speichern im Fenster der patientenbasierten QK behält sie.</translation>
    </message>
    <message numerus="yes">
        <source>Tuning by simulation on %n results</source>
        <translation>
            <numerusform>Abstimmung durch Simulation an %n Ergebnis</numerusform>
            <numerusform>Abstimmung durch Simulation an %n Ergebnissen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UPqcTuning</name>
    <message>
        <source>Moving median</source>
        <translation>Gleitender Median</translation>
    </message>
    <message>
        <source>EWMA</source>
        <translation>EWMA</translation>
    </message>
    <message>
        <source>Moving average</source>
        <translation>Gleitender Mittelwert</translation>
    </message>
    <message>
        <source>bias; up: patients affected before detection (ANPed)</source>
        <translation>Abweichung; nach oben: betroffene Patienten bis zur Erkennung (ANPed)</translation>
    </message>
</context>
</TS>
