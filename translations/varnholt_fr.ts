<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Core</name>
    <message>
        <source>The reading of the inbox was cancelled; its files wait for the next reading.</source>
        <translation>La lecture du dossier d&apos;entrée a été annulée ; ses fichiers attendent la prochaine lecture.</translation>
    </message>
    <message>
        <source>The file holds more than %1 results; no instrument sends so many at once. Split it into smaller files (a history is imported per analyte). The file is not read.</source>
        <translation>Le fichier contient plus de %1 résultats ; aucun instrument n&apos;en envoie autant à la fois. Divisez-le en fichiers plus petits (un historique s&apos;importe par analyte). Le fichier n&apos;est pas lu.</translation>
    </message>
    <message>
        <source>... and %1 more</source>
        <translation>... et %1 de plus</translation>
    </message>
    <message>
        <source>An EQA result has %1 fields</source>
        <translation>Un résultat d&apos;EEQ a %1 champs</translation>
    </message>
    <message>
        <source>An unacceptable EQA result is answered with the corrective action taken</source>
        <translation>Un résultat d&apos;EEQ inacceptable reçoit comme réponse l&apos;action corrective menée</translation>
    </message>
    <message>
        <source>No EQA result of %1 is recorded for %2</source>
        <translation>Aucun résultat d&apos;EEQ de %1 n&apos;est enregistré pour %2</translation>
    </message>
    <message>
        <source>The EQA result %1 of %2 is not unacceptable</source>
        <translation>Le résultat d&apos;EEQ %1 de %2 n&apos;est pas inacceptable</translation>
    </message>
    <message>
        <source>The analytes were saved, but their patient-based QC was not carried over:<byte value="xd"/>%1</source>
        <translation>Les analytes ont été enregistrés, mais leur CQ basé sur les patients n&apos;a pas été repris :<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Give at least one bias to simulate</source>
        <translation>Indiquez au moins un biais à simuler</translation>
    </message>
    <message>
        <source>Each bias must be a number other than 0 (a percentage above -100)</source>
        <translation>Chaque biais doit être un nombre autre que 0 (un pourcentage supérieur à -100)</translation>
    </message>
    <message>
        <source>Line %1: a field is longer than %2 KiB; no instrument writes such a field. The file is not read.</source>
        <translation>Ligne %1 : un champ dépasse %2 Kio ; aucun appareil n'écrit un tel champ. Le fichier n'est pas lu.</translation>
    </message>
    <message>
        <source>The message at line %1 is larger than %2 MB; no instrument sends such a message. The file is not read.</source>
        <translation>Le message de la ligne %1 dépasse %2 Mo ; aucun appareil n'envoie un tel message. Le fichier n'est pas lu.</translation>
    </message>
    <message>
        <source>The message at line %1 holds more than %2 results; no instrument sends such a message. The file is not read.</source>
        <translation>Le message de la ligne %1 contient plus de %2 résultats ; aucun appareil n'envoie un tel message. Le fichier n'est pas lu.</translation>
    </message>
    <message>
        <source>Patient-based QC is kept only in a folder&apos;s database</source>
        <translation>Le CQ basé sur les patients n&apos;est conservé que dans la base de données d&apos;un dossier</translation>
    </message>
    <message>
        <source>Cannot write the patient-based QC: the folder is open for reading</source>
        <translation>Impossible d&apos;écrire le CQ basé sur les patients : le dossier est ouvert en lecture</translation>
    </message>
    <message>
        <source>Patient-based QC cannot be kept: the database %1%2 is not available</source>
        <translation>Le CQ basé sur les patients ne peut pas être conservé : la base de données %1%2 n&apos;est pas disponible</translation>
    </message>
    <message>
        <source>The retention must be from 1 to 36500 days</source>
        <translation>La conservation doit être comprise entre 1 et 36500 jours</translation>
    </message>
    <message>
        <source>A patient result stream needs a source and a test code</source>
        <translation>Un flux de résultats de patients nécessite une source et un code de test</translation>
    </message>
    <message>
        <source>No analyte is mapped to the patient results %1 %2</source>
        <translation>Aucun analyte n&apos;est associé aux résultats de patients %1 %2</translation>
    </message>
    <message>
        <source>Line %1: expected YYYY-MM-DD HH:MM:SS, a tab and the value</source>
        <translation>Ligne %1 : attendu AAAA-MM-JJ HH:MM:SS, une tabulation et la valeur</translation>
    </message>
    <message>
        <source>N must be a whole number from 1 to %1</source>
        <translation>N doit être un nombre entier de 1 à %1</translation>
    </message>
    <message>
        <source>Lambda must be above 0 and at most 1</source>
        <translation>Lambda doit être supérieur à 0 et au plus égal à 1</translation>
    </message>
    <message>
        <source>The truncation limits must be numbers, the lower one below the upper one</source>
        <translation>Les limites de troncature doivent être des nombres, l&apos;inférieure au-dessous de la supérieure</translation>
    </message>
    <message>
        <source>The control limits must be numbers, the lower one below the upper one</source>
        <translation>Les limites de contrôle doivent être des nombres, l&apos;inférieure au-dessous de la supérieure</translation>
    </message>
    <message>
        <source>Too few results to propose limits: %1, at least %2 are needed</source>
        <translation>Trop peu de résultats pour proposer des limites : %1, il en faut au moins %2</translation>
    </message>
    <message>
        <source>The results vary too little to propose limits</source>
        <translation>Les résultats varient trop peu pour proposer des limites</translation>
    </message>
    <message>
        <source>The number of runs must be from 1 to %1</source>
        <translation>Le nombre de passages doit être compris entre 1 et %1</translation>
    </message>
    <message>
        <source>The bias must be a number</source>
        <translation>Le biais doit être un nombre</translation>
    </message>
    <message>
        <source>Too few results to simulate: %1, at least %2 are needed</source>
        <translation>Trop peu de résultats pour simuler : %1, il en faut au moins %2</translation>
    </message>
    <message>
        <source>1 result has no control identification: patient result? set the source&apos;s control field</source>
        <translation>1 résultat n&apos;a pas d&apos;identification de contrôle : résultat patient ? définissez le champ de contrôle de la source</translation>
    </message>
    <message>
        <source>%1 results have no control identification: patient results? set the source&apos;s control field</source>
        <translation>%1 résultats n&apos;ont pas d&apos;identification de contrôle : résultats patients ? définissez le champ de contrôle de la source</translation>
    </message>
    <message>
        <source>1 result is not marked as QC and its control is not mapped: patient result? map its control or set the source&apos;s QC options</source>
        <translation>1 résultat n&apos;est pas marqué CQ et son contrôle n&apos;est pas associé : résultat patient ? associez son contrôle ou définissez les options CQ de la source</translation>
    </message>
    <message>
        <source>%1 results are not marked as QC and their controls are not mapped: patient results? map their controls or set the source&apos;s QC options</source>
        <translation>%1 résultats ne sont pas marqués CQ et leurs contrôles ne sont pas associés : résultats patients ? associez leurs contrôles ou définissez les options CQ de la source</translation>
    </message>
    <message>
        <source>Unknown rule: %1</source>
        <translation>Règle inconnue : %1</translation>
    </message>
    <message>
        <source>A rule set needs at least one reject rule</source>
        <translation>Un jeu de règles doit avoir au moins une règle de rejet</translation>
    </message>
    <message>
        <source>%1 cannot both reject and warn</source>
        <translation>%1 ne peut pas à la fois rejeter et avertir</translation>
    </message>
    <message>
        <source>Nothing imported: the dates are written as %1, not as %2 (line %3: %4); read the file with the date format %1.</source>
        <translation>Rien n&apos;a été importé : les dates sont écrites en %1 et non en %2 (ligne %3 : %4) ; lisez le fichier avec le format de date %1.</translation>
    </message>
    <message>
        <source>Nothing imported: the dates are written in two orders. The date of line %1 (%2) fits only %3, that of line %4 (%5) only %6.</source>
        <translation>Rien n&apos;a été importé : les dates sont écrites dans deux ordres. La date de la ligne %1 (%2) ne convient qu&apos;à %3, celle de la ligne %4 (%5) qu&apos;à %6.</translation>
    </message>
    <message>
        <source>a zero byte ends the text here, not read</source>
        <translation>un octet nul termine ici le texte, non lue</translation>
    </message>
    <message>
        <source>There is not enough room in %1 for the backup (%2 KB needed, %3 KB free). Backup aborted</source>
        <translation>Il n&apos;y a pas assez de place dans %1 pour la sauvegarde (%2 Ko nécessaires, %3 Ko libres). Sauvegarde abandonnée</translation>
    </message>
    <message>
        <source>Cannot write %1: the queue holds at most %2 runs</source>
        <translation>Impossible d&apos;écrire %1 : la file d&apos;attente contient au plus %2 séries</translation>
    </message>
    <message>
        <source>The queue is full (%1 held runs): %2 runs from the instruments wait until held runs are recalled.</source>
        <translation>La file d&apos;attente est pleine (%1 séries) : %2 séries des automates attendent que des séries en attente soient rappelées.</translation>
    </message>
    <message>
        <source>Give a reason for removing a file</source>
        <translation>Indiquez une raison pour la suppression du fichier</translation>
    </message>
    <message>
        <source>Give a reason for discarding results</source>
        <translation>Indiquez une raison pour le rejet des résultats</translation>
    </message>
    <message>
        <source>Cannot remove %1: %2</source>
        <translation>Impossible de supprimer %1 : %2</translation>
    </message>
    <message>
        <source>No results of %1 wait for a mapping</source>
        <translation>Aucun résultat de %1 n&apos;attend d&apos;association</translation>
    </message>
    <message>
        <source>given by the file</source>
        <translation>donné par le fichier</translation>
    </message>
    <message>
        <source>Runs already held in the queue from %1 %2 %3 stay as they were read under the former mapping (%4 level %5): check them there before accepting them.</source>
        <translation>Les séries de %1 %2 %3 déjà en file d&apos;attente restent telles qu&apos;elles ont été lues avec l&apos;ancienne association (%4 niveau %5) : vérifiez-les avant de les accepter.</translation>
    </message>
    <message>
        <source>%1 %2 %3 is already mapped to %4 level %5: replacing that mapping needs a confirmation</source>
        <translation>%1 %2 %3 est déjà associé à %4 niveau %5 : remplacer cette association demande une confirmation</translation>
    </message>
    <message>
        <source>The points of %1 from %2 to %3 were already reviewed and signed by %4 on %5</source>
        <translation>Les points de %1 du %2 au %3 ont déjà été revus et signés par %4 le %5</translation>
    </message>
    <message>
        <source>%1 has no runs from %2 to %3: there is nothing to sign</source>
        <translation>%1 n&apos;a aucune série du %2 au %3 : il n&apos;y a rien à signer</translation>
    </message>
    <message>
        <source>%1 has no password and the program has none: a review is signed with a password. Give %1 a password under Operators, or set the program&apos;s.</source>
        <translation>%1 n&apos;a pas de mot de passe et le programme non plus : une revue se signe avec un mot de passe. Donnez un mot de passe à %1 sous Opérateurs, ou définissez celui du programme.</translation>
    </message>
    <message>
        <source>%1 may not sign reviews: a supervisor signs them</source>
        <translation>%1 ne peut pas signer de revue : c&apos;est au superviseur de les signer</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossible d&apos;écrire %1 : %2</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Impossible de lire %1 : %2</translation>
    </message>
    <message>
        <source>Cannot write %1: it is a link to a missing file</source>
        <translation>Impossible d&apos;écrire %1 : c&apos;est un lien vers un fichier absent</translation>
    </message>
    <message>
        <source>No archive number left</source>
        <translation>Plus aucun numéro d&apos;archive disponible</translation>
    </message>
    <message>
        <source>Cannot list %1: %2</source>
        <translation>Impossible de lister %1 : %2</translation>
    </message>
    <message>
        <source>Nothing to archive</source>
        <translation>Rien à archiver</translation>
    </message>
    <message>
        <source>Not an archive file</source>
        <translation>Ce n&apos;est pas un fichier d&apos;archive</translation>
    </message>
    <message>
        <source>Damaged predecessor file: %1</source>
        <translation>Fichier du programme précédent endommagé : %1</translation>
    </message>
    <message>
        <source>Damaged data file: %1</source>
        <translation>Fichier de données endommagé : %1</translation>
    </message>
    <message>
        <source>Database error: %1: %2</source>
        <translation>Erreur de base de données : %1 : %2</translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>Impossible d&apos;ouvrir %1 : %2</translation>
    </message>
    <message>
        <source>Database error: %1 (%2)</source>
        <translation>Erreur de base de données : %1 (%2)</translation>
    </message>
    <message>
        <source>The damaged database %1 could not be kept aside</source>
        <translation>La base de données endommagée %1 n&apos;a pas pu être mise de côté</translation>
    </message>
    <message>
        <source>Cannot read %1</source>
        <translation>Impossible de lire %1</translation>
    </message>
    <message>
        <source>The database %1 was written by a newer Varnholt (%2 %3); this one cannot use it</source>
        <translation>La base de données %1 a été écrite par une version plus récente de Varnholt (%2 %3) ; celle-ci ne peut pas l&apos;utiliser</translation>
    </message>
    <message>
        <source>The database is not open</source>
        <translation>La base de données n&apos;est pas ouverte</translation>
    </message>
    <message>
        <source>Damaged queue file: more entries than any queue holds</source>
        <translation>Fichier de file d&apos;attente endommagé : plus d&apos;entrées qu&apos;une file ne peut en contenir</translation>
    </message>
    <message>
        <source>Damaged queue file: date is not a number</source>
        <translation>Fichier de file d&apos;attente endommagé : la date n&apos;est pas un nombre</translation>
    </message>
    <message>
        <source>Damaged queue file: state out of range</source>
        <translation>Fichier de file d&apos;attente endommagé : état hors limites</translation>
    </message>
    <message>
        <source>Damaged queue file: value is not a number</source>
        <translation>Fichier de file d&apos;attente endommagé : la valeur n&apos;est pas un nombre</translation>
    </message>
    <message>
        <source>Damaged queue file: an entry without an analyte</source>
        <translation>Fichier de file d&apos;attente endommagé : une entrée sans analyte</translation>
    </message>
    <message>
        <source>Cannot read the inbox folder %1: %2</source>
        <translation>Impossible de lire le dossier d&apos;entrée %1 : %2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1: %2</source>
        <translation>Impossible de créer le dossier %1 : %2</translation>
    </message>
    <message>
        <source>Cannot move %1 to %2: %3</source>
        <translation>Impossible de déplacer %1 vers %2 : %3</translation>
    </message>
    <message>
        <source>Cannot move %1: every name in %2 is taken</source>
        <translation>Impossible de déplacer %1 : tous les noms de %2 sont pris</translation>
    </message>
    <message>
        <source>The inbox folder %1 does not exist</source>
        <translation>Le dossier d&apos;entrée %1 n&apos;existe pas</translation>
    </message>
    <message>
        <source>Reading options: %1 must be yes or no, not &quot;%2&quot;.</source>
        <translation>Options de lecture : %1 doit valoir yes ou no, pas « %2 ».</translation>
    </message>
    <message>
        <source>Reading options: %1 cannot be &quot;%2&quot;.</source>
        <translation>Options de lecture : %1 ne peut pas valoir « %2 ».</translation>
    </message>
    <message>
        <source>The file begins inside an ASTM message: its first record is not a header (H) record. It may be the rest of a message split across files.</source>
        <translation>Le fichier commence au milieu d&apos;un message ASTM : son premier enregistrement n&apos;est pas un en-tête (H). Ce peut être la suite d&apos;un message réparti sur plusieurs fichiers.</translation>
    </message>
    <message>
        <source>The file begins inside an HL7 message: its first segment is not a header (MSH). It may be the rest of a message split across files.</source>
        <translation>Le fichier commence au milieu d&apos;un message HL7 : son premier segment n&apos;est pas un en-tête (MSH). Ce peut être la suite d&apos;un message réparti sur plusieurs fichiers.</translation>
    </message>
    <message>
        <source>Unknown format: the file is neither delimited text (tab, semicolon or comma), ASTM nor HL7.</source>
        <translation>Format inconnu : le fichier n&apos;est ni du texte délimité (tabulation, point-virgule ou virgule), ni de l&apos;ASTM, ni du HL7.</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; names no H, P, O or R record.</source>
        <translation>%1 « %2 » ne désigne aucun enregistrement H, P, O ou R.</translation>
    </message>
    <message>
        <source>No column separator (tab, semicolon or comma) in the first line.</source>
        <translation>Aucun séparateur de colonnes (tabulation, point-virgule ou virgule) dans la première ligne.</translation>
    </message>
    <message>
        <source>The column mapping gives no column for the %1.</source>
        <translation>L&apos;affectation des colonnes ne donne aucune colonne pour : %1.</translation>
    </message>
    <message>
        <source>The column mapping&apos;s %1 column %2 is not a column number.</source>
        <translation>Dans l&apos;affectation des colonnes, la colonne %2 pour %1 n&apos;est pas un numéro de colonne.</translation>
    </message>
    <message>
        <source>The column mapping names the %1 column &quot;%2&quot;, but the files have no header line.</source>
        <translation>L&apos;affectation des colonnes nomme la colonne « %2 » pour %1, mais les fichiers n&apos;ont pas de ligne d&apos;en-tête.</translation>
    </message>
    <message>
        <source>The header line has no column &quot;%1&quot; (the %2).</source>
        <translation>La ligne d&apos;en-tête n&apos;a pas de colonne « %1 » (%2).</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; is not a field reference such as O-3 or OBR-3.1</source>
        <translation>%1 « %2 » n&apos;est pas une référence de champ comme O-3 ou OBR-3.1</translation>
    </message>
    <message>
        <source>The hashing library could not be started</source>
        <translation>La bibliothèque de hachage n&apos;a pas pu être démarrée</translation>
    </message>
    <message>
        <source>Journal entry %1 %2</source>
        <translation>Entrée du journal %1 %2</translation>
    </message>
    <message>
        <source>Not enough memory to protect the password</source>
        <translation>Mémoire insuffisante pour protéger le mot de passe</translation>
    </message>
    <message>
        <source>%1.<byte value="xd"/>The password, the operators and the backup folder were lost: set them again in the Configuration menu.</source>
        <translation>%1.<byte value="xd"/>Le mot de passe, les opérateurs et le dossier de sauvegarde ont été perdus : définissez-les à nouveau dans le menu Configuration.</translation>
    </message>
    <message>
        <source>Cannot read data: %1 is missing</source>
        <translation>Impossible de lire les données : %1 est absent</translation>
    </message>
    <message>
        <source>Cannot read data: %1</source>
        <translation>Impossible de lire les données : %1</translation>
    </message>
    <message>
        <source>The unreadable data file %1 could not be kept aside; it will not be overwritten.</source>
        <translation>Le fichier de données illisible %1 n&apos;a pas pu être mis de côté ; il ne sera pas écrasé.</translation>
    </message>
    <message>
        <source>The unreadable data file was kept as %1</source>
        <translation>Le fichier de données illisible a été conservé sous %1</translation>
    </message>
    <message>
        <source>The folder %1 does not exist</source>
        <translation>Le dossier %1 n&apos;existe pas</translation>
    </message>
    <message>
        <source>The damaged database was kept as %1; a new one was started.</source>
        <translation>La base de données endommagée a été conservée sous %1 ; une nouvelle a été créée.</translation>
    </message>
    <message>
        <source>Cannot save data<byte value="xd"/>%1</source>
        <translation>Impossible d&apos;enregistrer les données<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>%1. The journal was changed outside Varnholt or damaged; it is kept as it is and goes on.</source>
        <translation>%1. Le journal a été modifié hors de Varnholt ou endommagé ; il est conservé tel quel et se poursuit.</translation>
    </message>
    <message>
        <source>The data file %1 is not the one Varnholt last wrote: it was changed outside Varnholt, or damaged. Check its contents, or restore a backup.</source>
        <translation>Le fichier de données %1 n&apos;est pas celui que Varnholt a écrit en dernier : il a été modifié hors de Varnholt ou endommagé. Vérifiez son contenu ou restaurez une sauvegarde.</translation>
    </message>
    <message>
        <source>Cannot write %1: the folder is open for reading</source>
        <translation>Impossible d&apos;écrire %1 : le dossier est ouvert en lecture seule</translation>
    </message>
    <message>
        <source>Cannot write %1: the unreadable data file could not be kept aside</source>
        <translation>Impossible d&apos;écrire %1 : le fichier de données illisible n&apos;a pas pu être mis de côté</translation>
    </message>
    <message>
        <source>Cannot write %1</source>
        <translation>Impossible d&apos;écrire %1</translation>
    </message>
    <message>
        <source>Unable to save fifo<byte value="xd"/>%1</source>
        <translation>Impossible d&apos;enregistrer la file d&apos;attente<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Nothing hold in the queue</source>
        <translation>Aucun résultat dans la file d&apos;attente</translation>
    </message>
    <message>
        <source>Nothing hold in the queue.</source>
        <translation>Aucun résultat dans la file d&apos;attente.</translation>
    </message>
    <message>
        <source>No run with a value in the levels of %1</source>
        <translation>Aucune série avec une valeur dans les niveaux de %1</translation>
    </message>
    <message>
        <source>Cannot read data</source>
        <translation>Impossible de lire les données</translation>
    </message>
    <message>
        <source>No analyte in %1</source>
        <translation>Aucun analyte dans %1</translation>
    </message>
    <message>
        <source>Give a reason for deleting points</source>
        <translation>Indiquez une raison pour la suppression des points</translation>
    </message>
    <message>
        <source>No point to delete</source>
        <translation>Aucun point à supprimer</translation>
    </message>
    <message>
        <source>No point to edit</source>
        <translation>Aucun point à modifier</translation>
    </message>
    <message>
        <source>Give a reason for correcting the point</source>
        <translation>Indiquez une raison pour la correction du point</translation>
    </message>
    <message>
        <source>A point taken out for correction when Varnholt last ended was put in the queue.</source>
        <translation>Un point retiré pour correction à la dernière fermeture de Varnholt a été placé dans la file d&apos;attente.</translation>
    </message>
    <message>
        <source>Nothing to erase</source>
        <translation>Rien à effacer</translation>
    </message>
    <message>
        <source>Give a reason for deleting archives</source>
        <translation>Indiquez une raison pour la suppression des archives</translation>
    </message>
    <message>
        <source>Give a reason for changing and erasing</source>
        <translation>Indiquez une raison pour la modification et l&apos;effacement</translation>
    </message>
    <message>
        <source>Backup aborted</source>
        <translation>Sauvegarde abandonnée</translation>
    </message>
    <message>
        <source>The backup in %1 holds %2, more than the %3 of the data now: it was not replaced. Backup aborted</source>
        <translation>La sauvegarde dans %1 contient %2, plus que les %3 des données actuelles : elle n&apos;a pas été remplacée. Sauvegarde abandonnée</translation>
    </message>
    <message>
        <source>The older backup %1 was removed to make room for the new one.</source>
        <translation>L&apos;ancienne sauvegarde %1 a été supprimée pour faire place à la nouvelle.</translation>
    </message>
    <message>
        <source>The data was backed up, but not the database:<byte value="xd"/>%1</source>
        <translation>Les données ont été sauvegardées, mais pas la base de données :<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Restore aborted</source>
        <translation>Restauration abandonnée</translation>
    </message>
    <message>
        <source>No backup file to restore</source>
        <translation>Aucun fichier de sauvegarde à restaurer</translation>
    </message>
    <message>
        <source>Impossible to restore</source>
        <translation>Restauration impossible</translation>
    </message>
    <message>
        <source>Impossible to restore<byte value="xd"/>%1</source>
        <translation>Restauration impossible<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Restored from %1, the newest complete backup.</source>
        <translation>Restauré depuis %1, la sauvegarde complète la plus récente.</translation>
    </message>
    <message>
        <source>The data was restored, but not the database:<byte value="xd"/>%1</source>
        <translation>Les données ont été restaurées, mais pas la base de données :<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>%1: TEa must be above zero</source>
        <translation>%1 : l&apos;ETa doit être supérieure à zéro</translation>
    </message>
    <message>
        <source>%1: target of level %2 is not a number</source>
        <translation>%1 : la valeur cible du niveau %2 n&apos;est pas un nombre</translation>
    </message>
    <message>
        <source>%1: target of level %2 is zero</source>
        <translation>%1 : la valeur cible du niveau %2 est nulle</translation>
    </message>
    <message>
        <source>%1: a TEa unit without a TEa</source>
        <translation>%1 : une unité d&apos;ETa sans ETa</translation>
    </message>
    <message>
        <source>Cannot write the quality goals: the folder is open for reading</source>
        <translation>Impossible d&apos;écrire les objectifs de qualité : le dossier est ouvert en lecture seule</translation>
    </message>
    <message>
        <source>The quality goals cannot be kept: the database %1%2 is not available</source>
        <translation>Les objectifs de qualité ne peuvent pas être conservés : la base de données %1%2 n&apos;est pas disponible</translation>
    </message>
    <message>
        <source>Unknown analyte: %1</source>
        <translation>Analyte inconnu : %1</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 est indiqué deux fois</translation>
    </message>
    <message>
        <source>Skipped, no analyte of that name: %1</source>
        <translation>Ignoré, aucun analyte de ce nom : %1</translation>
    </message>
    <message>
        <source>Damaged inbox record in the database</source>
        <translation>Enregistrement d&apos;entrée endommagé dans la base de données</translation>
    </message>
    <message>
        <source>The inbox folder %1 cannot be the program folder or the folder holding it</source>
        <translation>Le dossier d&apos;entrée %1 ne peut être ni le dossier du programme ni le dossier qui le contient</translation>
    </message>
    <message>
        <source>The folder is open for reading only</source>
        <translation>Le dossier est ouvert en lecture seule</translation>
    </message>
    <message>
        <source>The inbox settings need the database %1</source>
        <translation>Les réglages de l&apos;entrée nécessitent la base de données %1</translation>
    </message>
    <message>
        <source>The time window of a run must be more than 0 and at most 1440 minutes</source>
        <translation>La fenêtre de temps d&apos;une série doit être supérieure à 0 et d&apos;au plus 1440 minutes</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot name a source: it names a subfolder of the inbox</source>
        <translation>« %1 » ne peut pas nommer une source : il désigne un sous-dossier de l&apos;entrée</translation>
    </message>
    <message>
        <source>The reading options need the database %1</source>
        <translation>Les options de lecture nécessitent la base de données %1</translation>
    </message>
    <message>
        <source>The reading options of %1 do not read back as given</source>
        <translation>Les options de lecture de %1 ne se relisent pas telles qu&apos;elles ont été données</translation>
    </message>
    <message>
        <source>The mapping needs the database %1</source>
        <translation>L&apos;affectation nécessite la base de données %1</translation>
    </message>
    <message>
        <source>The patient results of %1 %2 were not kept: %3</source>
        <translation>Les résultats patients de %1 %2 n&apos;ont pas été conservés : %3</translation>
    </message>
    <message>
        <source>Patient-based QC alarm for %1 (%2): the statistic left its limits at %3</source>
        <translation>Alarme du CQ basé sur les patients pour %1 (%2) : la statistique est sortie de ses limites à %3</translation>
    </message>
    <message>
        <source>No mapping for %1 %2 %3</source>
        <translation>Aucune affectation pour %1 %2 %3</translation>
    </message>
    <message>
        <source>Unable to save fifo<byte value="xd"/>%1<byte value="xd"/>The results from the instruments are kept and placed at the next reading.</source>
        <translation>Impossible d&apos;enregistrer la file d&apos;attente<byte value="xd"/>%1<byte value="xd"/>Les résultats des automates sont conservés et placés à la prochaine lecture.</translation>
    </message>
    <message>
        <source>Cannot save data<byte value="xd"/>%1<byte value="xd"/>The results from the instruments are kept and placed at the next reading.</source>
        <translation>Impossible d&apos;enregistrer les données<byte value="xd"/>%1<byte value="xd"/>Les résultats des automates sont conservés et placés à la prochaine lecture.</translation>
    </message>
    <message>
        <source>A mapping needs a source and a test code</source>
        <translation>Une affectation nécessite une source et un code de test</translation>
    </message>
    <message>
        <source>The inbox is read by the program or a writing command, not by a reading one</source>
        <translation>L&apos;entrée est lue par le programme ou par une commande d&apos;écriture, pas par une commande de lecture</translation>
    </message>
    <message>
        <source>The inbox needs the database %1%2</source>
        <translation>L&apos;entrée nécessite la base de données %1%2</translation>
    </message>
    <message>
        <source>No inbox folder is set: choose one in Configuration &gt; Inbox (or give --inbox DIR)</source>
        <translation>Aucun dossier d&apos;entrée défini : choisissez-en un dans Configuration &gt; Entrée (ou indiquez --inbox DIR)</translation>
    </message>
    <message>
        <source>Cannot write %1: the journal could not be written: %2</source>
        <translation>Impossible d&apos;écrire %1 : le journal n&apos;a pas pu être écrit : %2</translation>
    </message>
    <message>
        <source>The journal could not be completed.</source>
        <translation>Le journal n&apos;a pas pu être complété.</translation>
    </message>
    <message>
        <source>The list of corrective actions cannot be empty</source>
        <translation>La liste des actions correctives ne peut pas être vide</translation>
    </message>
    <message>
        <source>The corrective actions are kept in the database, which is not open</source>
        <translation>Les actions correctives sont conservées dans la base de données, qui n&apos;est pas ouverte</translation>
    </message>
    <message>
        <source>An operator code has 1 to 4 characters</source>
        <translation>Un code d&apos;opérateur comporte de 1 à 4 caractères</translation>
    </message>
    <message>
        <source>The operators&apos; passwords are kept in the database, which is not open</source>
        <translation>Les mots de passe des opérateurs sont conservés dans la base de données, qui n&apos;est pas ouverte</translation>
    </message>
    <message>
        <source>The points of %1 from %2 to %3 were reviewed and signed by %4 on %5: a change inside that period needs a reason.</source>
        <translation>Les points de %1 du %2 au %3 ont été revus et signés par %4 le %5 : une modification dans cette période nécessite une raison.</translation>
    </message>
    <message>
        <source>The end of the period precedes its start</source>
        <translation>La fin de la période précède son début</translation>
    </message>
    <message>
        <source>Unknown operator: %1</source>
        <translation>Opérateur inconnu : %1</translation>
    </message>
    <message>
        <source>Wrong password for %1</source>
        <translation>Mot de passe erroné pour %1</translation>
    </message>
    <message>
        <source>Reviews are kept in the database, which is not open</source>
        <translation>Les revues sont conservées dans la base de données, qui n&apos;est pas ouverte</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a month (YYYY-MM)</source>
        <translation>« %1 » n&apos;est pas un mois (AAAA-MM)</translation>
    </message>
    <message>
        <source>Not a month</source>
        <translation>Ce n&apos;est pas un mois</translation>
    </message>
    <message>
        <source>The last month is before the first</source>
        <translation>Le dernier mois précède le premier</translation>
    </message>
    <message>
        <source>At most 1200 months at once</source>
        <translation>Au plus 1200 mois à la fois</translation>
    </message>
    <message>
        <source>more than five fields (analyte;TEa;target1;target2;target3)</source>
        <translation>plus de cinq champs (analyte;ETa;cible1;cible2;cible3)</translation>
    </message>
    <message>
        <source>no analyte name</source>
        <translation>aucun nom d&apos;analyte</translation>
    </message>
    <message>
        <source>no TEa for %1</source>
        <translation>aucune ETa pour %1</translation>
    </message>
    <message>
        <source>TEa &apos;%1&apos; is not a number</source>
        <translation>L&apos;ETa « %1 » n&apos;est pas un nombre</translation>
    </message>
    <message>
        <source>TEa must be above zero, not %1</source>
        <translation>L&apos;ETa doit être supérieure à zéro, pas %1</translation>
    </message>
    <message>
        <source>target of level %1 &apos;%2&apos; is not a number</source>
        <translation>la valeur cible du niveau %1 « %2 » n&apos;est pas un nombre</translation>
    </message>
    <message>
        <source>target of level %1 is zero</source>
        <translation>la valeur cible du niveau %1 est nulle</translation>
    </message>
    <message>
        <source>%1%2 appears twice</source>
        <translation>%1%2 apparaît deux fois</translation>
    </message>
    <message>
        <source>TEa of %1 is given in %2, the analyte&apos;s unit is %3</source>
        <translation>L&apos;ETa de %1 est donnée en %2, l&apos;unité de l&apos;analyte est %3</translation>
    </message>
    <message>
        <source>%1 has %2 level(s): no target for level %3</source>
        <translation>%1 a %2 niveau(x) : aucune valeur cible pour le niveau %3</translation>
    </message>
    <message>
        <source>Damaged comment list: identifiers out of order</source>
        <translation>Liste de commentaires endommagée : identifiants dans le désordre</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>« %1 » n&apos;est pas un nombre entier valide</translation>
    </message>
    <message>
        <source>%1 is too high
<byte value="xd"/>Maximum allowed = %2</source>
        <translation>%1 est trop élevé
<byte value="xd"/>Maximum autorisé = %2</translation>
    </message>
    <message>
        <source>%1 is too low
<byte value="xd"/>Minimum allowed = %2</source>
        <translation>%1 est trop bas
<byte value="xd"/>Minimum autorisé = %2</translation>
    </message>
    <message>
        <source>Incorrect floating number</source>
        <translation>Nombre décimal incorrect</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>« %1 » n&apos;est pas une valeur décimale valide</translation>
    </message>
    <message>
        <source>%1 is a negative value (not allowed)</source>
        <translation>%1 est une valeur négative (non autorisée)</translation>
    </message>
    <message>
        <source>no allowable total error (TEa) set</source>
        <translation>aucune erreur totale admissible (ETa) définie</translation>
    </message>
    <message>
        <source>TEa must be above zero</source>
        <translation>l&apos;ETa doit être supérieure à zéro</translation>
    </message>
    <message>
        <source>no target</source>
        <translation>pas de valeur cible</translation>
    </message>
    <message>
        <source>target is zero</source>
        <translation>la valeur cible est nulle</translation>
    </message>
    <message>
        <source>fewer than two values</source>
        <translation>moins de deux valeurs</translation>
    </message>
    <message>
        <source>mean is zero</source>
        <translation>la moyenne est nulle</translation>
    </message>
    <message>
        <source>CV is zero (all values equal)</source>
        <translation>le CV est nul (toutes les valeurs sont égales)</translation>
    </message>
    <message>
        <source>Sigma below 1.65</source>
        <translation>Sigma inférieur à 1,65</translation>
    </message>
    <message>
        <source>no level takes part in the rules</source>
        <translation>aucun niveau ne participe aux règles</translation>
    </message>
    <message>
        <source>Line %1: </source>
        <translation>Ligne %1 : </translation>
    </message>
    <message>
        <source>Journal entry %1 cannot be shown to be the last one written: the server&apos;s record of it is gone</source>
        <translation>Impossible de montrer que l&apos;entrée %1 du journal est la dernière écrite : l&apos;enregistrement du serveur à son sujet a disparu</translation>
    </message>
    <message>
        <source>The journal could not be checked: %1</source>
        <translation>Le journal n&apos;a pas pu être vérifié : %1</translation>
    </message>
    <message>
        <source>The records go into a folder opened for writing</source>
        <translation>Les enregistrements vont dans un dossier ouvert en écriture</translation>
    </message>
    <message>
        <source>The database of %1 is not available</source>
        <translation>La base de données de %1 n&apos;est pas disponible</translation>
    </message>
    <message>
        <source>The folder %1 already keeps records of its own</source>
        <translation>Le dossier %1 tient déjà ses propres enregistrements</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation>%1 ou %2</translation>
    </message>
    <message>
        <source>Advised (%1): %2 with %3.
</source>
        <translation>Conseillé (%1) : %2 avec %3.
</translation>
    </message>
    <message>
        <source>No level is judged by the rules.
</source>
        <translation>Aucun niveau n&apos;est jugé par les règles.
</translation>
    </message>
    <message>
        <source>Applied: %1 (multirules on).
</source>
        <translation>Appliquées : %1 (règles de Westgard activées).
</translation>
    </message>
    <message>
        <source>Applied: %1 (multirules off).
</source>
        <translation>Appliquées : %1 (règles de Westgard désactivées).
</translation>
    </message>
    <message>
        <source>The program applies exactly the advised rules.
</source>
        <translation>Le programme applique exactement les règles conseillées.
</translation>
    </message>
    <message>
        <source>Advised but not applied: %1.</source>
        <translation>Conseillées mais non appliquées : %1.</translation>
    </message>
    <message>
        <source> The program&apos;s 10:m waits for ten values on one side of the mean.</source>
        <translation> La règle 10:m du programme attend dix valeurs du même côté de la moyenne.</translation>
    </message>
    <message>
        <source> The program&apos;s 9:m waits for three runs of three levels.</source>
        <translation> La règle 9:m du programme attend trois séries de trois niveaux.</translation>
    </message>
    <message>
        <source> Switch the Westgard multirules on.</source>
        <translation> Activez les règles de Westgard.</translation>
    </message>
    <message>
        <source>Applied beyond the advice: %1; they add false rejections that this Sigma does not need.
</source>
        <translation>Appliquées au-delà du conseil : %1 ; elles ajoutent de fausses alertes de rejet dont ce Sigma n&apos;a pas besoin.
</translation>
    </message>
    <message>
        <source>A run here holds %1 value(s); the advice needs N=%2: measure each control %3 times per run.
</source>
        <translation>Une série compte ici %1 valeur(s) ; le conseil demande N=%2 : mesurez chaque contrôle %3 fois par série.
</translation>
    </message>
    <message>
        <source>With %1 value(s) per run the advice spans %2 runs.
</source>
        <translation>Avec %1 valeur(s) par série, le conseil s&apos;étend sur %2 séries.
</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>ligne %1 : %2</translation>
    </message>
    <message>
        <source>no line end, not read</source>
        <translation>pas de fin de ligne, non lue</translation>
    </message>
    <message>
        <source>%1 is not a date (expected %2)</source>
        <translation>%1 n&apos;est pas une date (attendu : %2)</translation>
    </message>
    <message>
        <source>%1 for %2 is not taken: the analyte has %3 level</source>
        <translation>%1 pour %2 n&apos;est pas repris : l&apos;analyte a %3 niveau</translation>
    </message>
    <message>
        <source>%1 for %2 is not taken: the analyte has %3 levels</source>
        <translation>%1 pour %2 n&apos;est pas repris : l&apos;analyte a %3 niveaux</translation>
    </message>
    <message>
        <source>%1 is not a number for %2 (expected a number as %3)</source>
        <translation>%1 n&apos;est pas un nombre pour %2 (nombre attendu comme %3)</translation>
    </message>
    <message>
        <source>%1 is not a number for %2</source>
        <translation>%1 n&apos;est pas un nombre pour %2</translation>
    </message>
    <message>
        <source>no time, 12:00:00 taken</source>
        <translation>pas d&apos;heure, 12:00:00 retenu</translation>
    </message>
    <message>
        <source>%1 is not a time (expected %2), 12:00:00 taken</source>
        <translation>%1 n&apos;est pas une heure (attendu : %2), 12:00:00 retenu</translation>
    </message>
    <message>
        <source>no value, line skipped</source>
        <translation>aucune valeur, ligne ignorée</translation>
    </message>
    <message>
        <source>line skipped</source>
        <translation>ligne ignorée</translation>
    </message>
    <message>
        <source>Nothing to import: the text is empty.</source>
        <translation>Rien à importer : le texte est vide.</translation>
    </message>
    <message>
        <source>third field</source>
        <translation>troisième champ</translation>
    </message>
    <message>
        <source>third or fourth field</source>
        <translation>troisième ou quatrième champ</translation>
    </message>
    <message>
        <source>third, fourth or fifth field</source>
        <translation>troisième, quatrième ou cinquième champ</translation>
    </message>
    <message>
        <source>Nothing to import: a line is read when its first field is a date written as %1 and its %2 a number written as %3, the fields separated by tabs and the line ended by a line break.</source>
        <translation>Rien à importer : une ligne est lue lorsque son premier champ est une date écrite %1 et son %2 un nombre écrit %3, les champs séparés par des tabulations et la ligne terminée par un saut de ligne.</translation>
    </message>
    <message>
        <source>Reading options: the field</source>
        <translation>Options de lecture : le champ</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Le fichier est vide.</translation>
    </message>
    <message>
        <source>no level given for %1</source>
        <translation>aucun niveau indiqué pour %1</translation>
    </message>
    <message>
        <source>level %1: %2 has %3 level</source>
        <translation>niveau %1 : %2 a %3 niveau</translation>
    </message>
    <message>
        <source>level %1: %2 has %3 levels</source>
        <translation>niveau %1 : %2 a %3 niveaux</translation>
    </message>
    <message>
        <source>%1; its message is left out</source>
        <translation>%1 ; son message est écarté</translation>
    </message>
    <message>
        <source>record continued over frames is not finished</source>
        <translation>l&apos;enregistrement poursuivi sur plusieurs trames n&apos;est pas terminé</translation>
    </message>
    <message>
        <source>The file ends inside the frame at line %1: the transmission may still be being written.</source>
        <translation>Le fichier se termine dans la trame de la ligne %1 : la transmission est peut-être encore en cours d&apos;écriture.</translation>
    </message>
    <message>
        <source>frame has no end (ETX or ETB)</source>
        <translation>la trame n&apos;a pas de fin (ETX ou ETB)</translation>
    </message>
    <message>
        <source>frame has no frame number</source>
        <translation>la trame n&apos;a pas de numéro de trame</translation>
    </message>
    <message>
        <source>frame %1 has checksum %2, its text gives %3</source>
        <translation>la trame %1 a la somme de contrôle %2, son texte donne %3</translation>
    </message>
    <message>
        <source>frame %1 came where frame %2 was due</source>
        <translation>la trame %1 est arrivée là où la trame %2 était attendue</translation>
    </message>
    <message>
        <source>The file ends inside a record continued over frames (line %1).</source>
        <translation>Le fichier se termine dans un enregistrement poursuivi sur plusieurs trames (ligne %1).</translation>
    </message>
    <message>
        <source>The source&apos;s ASTM control field</source>
        <translation>Le champ de contrôle ASTM de la source</translation>
    </message>
    <message>
        <source>The source&apos;s ASTM level field</source>
        <translation>Le champ de niveau ASTM de la source</translation>
    </message>
    <message>
        <source>message has no terminator record (L) before the next header; its results are left out</source>
        <translation>le message n&apos;a pas d&apos;enregistrement de fin (L) avant l&apos;en-tête suivant ; ses résultats sont écartés</translation>
    </message>
    <message>
        <source>header record has no delimiter definition; its message is left out</source>
        <translation>l&apos;enregistrement d&apos;en-tête n&apos;a pas de définition des séparateurs ; son message est écarté</translation>
    </message>
    <message>
        <source>record outside a message (after its terminator record)</source>
        <translation>enregistrement hors d&apos;un message (après son enregistrement de fin)</translation>
    </message>
    <message>
        <source>result record without an order record (O)</source>
        <translation>enregistrement de résultat sans enregistrement de demande (O)</translation>
    </message>
    <message>
        <source>no test code</source>
        <translation>aucun code de test</translation>
    </message>
    <message>
        <source>no date-time</source>
        <translation>aucune date-heure</translation>
    </message>
    <message>
        <source>date-time %1 cannot be read</source>
        <translation>la date-heure %1 ne peut pas être lue</translation>
    </message>
    <message>
        <source>message ended with termination code %1 (aborted); its results are left out</source>
        <translation>message terminé par le code de fin %1 (interrompu) ; ses résultats sont écartés</translation>
    </message>
    <message>
        <source>unknown record type %1</source>
        <translation>type d&apos;enregistrement inconnu %1</translation>
    </message>
    <message>
        <source>message has no terminator record (L) before the end of the transmission; its results are left out</source>
        <translation>le message n&apos;a pas d&apos;enregistrement de fin (L) avant la fin de la transmission ; ses résultats sont écartés</translation>
    </message>
    <message>
        <source>The file ends inside the message begun at line %1 (no terminator record L): the rest may come in a later file.</source>
        <translation>Le fichier se termine dans le message commencé à la ligne %1 (pas d&apos;enregistrement de fin L) : la suite peut venir dans un fichier ultérieur.</translation>
    </message>
    <message>
        <source>instrument</source>
        <translation>automate</translation>
    </message>
    <message>
        <source>test code</source>
        <translation>code de test</translation>
    </message>
    <message>
        <source>control</source>
        <translation>contrôle</translation>
    </message>
    <message>
        <source>level</source>
        <translation>niveau</translation>
    </message>
    <message>
        <source>value</source>
        <translation>valeur</translation>
    </message>
    <message>
        <source>date</source>
        <translation>date</translation>
    </message>
    <message>
        <source>time</source>
        <translation>heure</translation>
    </message>
    <message>
        <source>operator</source>
        <translation>opérateur</translation>
    </message>
    <message>
        <source>The last line (%1) stops short of its columns: the file may still be being written.</source>
        <translation>La dernière ligne (%1) s&apos;arrête avant ses colonnes : le fichier est peut-être encore en cours d&apos;écriture.</translation>
    </message>
    <message>
        <source>a quoted field is not closed</source>
        <translation>un champ entre guillemets n&apos;est pas fermé</translation>
    </message>
    <message>
        <source>the line has %1 fields; the mapping reads field %2</source>
        <translation>la ligne a %1 champs ; la correspondance lit le champ %2</translation>
    </message>
    <message>
        <source>no date</source>
        <translation>aucune date</translation>
    </message>
    <message>
        <source>date %1 cannot be read as %2</source>
        <translation>la date %1 ne peut pas être lue comme %2</translation>
    </message>
    <message>
        <source>no time</source>
        <translation>aucune heure</translation>
    </message>
    <message>
        <source>time %1 cannot be read</source>
        <translation>l&apos;heure %1 ne peut pas être lue</translation>
    </message>
    <message>
        <source>The source&apos;s HL7 control field</source>
        <translation>Le champ de contrôle HL7 de la source</translation>
    </message>
    <message>
        <source>The source&apos;s HL7 level field</source>
        <translation>Le champ de niveau HL7 de la source</translation>
    </message>
    <message>
        <source>observation (OBX) outside an order (OBR)</source>
        <translation>observation (OBX) hors d&apos;une demande (OBR)</translation>
    </message>
    <message>
        <source>text outside the MLLP blocks is not read</source>
        <translation>le texte hors des blocs MLLP n&apos;est pas lu</translation>
    </message>
    <message>
        <source>The MLLP block at line %1 is not closed: the rest of the message may come in a later file.</source>
        <translation>Le bloc MLLP de la ligne %1 n&apos;est pas fermé : la suite du message peut venir dans un fichier ultérieur.</translation>
    </message>
    <message>
        <source>MLLP block is not closed before the next one; its message is left out</source>
        <translation>le bloc MLLP n&apos;est pas fermé avant le suivant ; son message est écarté</translation>
    </message>
    <message>
        <source>The last segment (line %1) has no terminator: the file may still be being written.</source>
        <translation>Le dernier segment (ligne %1) n&apos;a pas de fin : le fichier est peut-être encore en cours d&apos;écriture.</translation>
    </message>
    <message>
        <source>message header (MSH) has no valid delimiters; its message is left out</source>
        <translation>l&apos;en-tête de message (MSH) n&apos;a pas de séparateurs valides ; son message est écarté</translation>
    </message>
    <message>
        <source>segment outside a message</source>
        <translation>segment hors d&apos;un message</translation>
    </message>
    <message>
        <source>not a segment: %1; its message is left out</source>
        <translation>pas un segment : %1 ; son message est écarté</translation>
    </message>
    <message>
        <source>no value</source>
        <translation>aucune valeur</translation>
    </message>
    <message>
        <source>value %1 is out of range</source>
        <translation>la valeur %1 est hors limites</translation>
    </message>
    <message>
        <source>value %1 is not a number</source>
        <translation>la valeur %1 n&apos;est pas un nombre</translation>
    </message>
    <message>
        <source>The damaged settings file %1 could not be kept aside</source>
        <translation>Le fichier de réglages endommagé %1 n&apos;a pas pu être mis de côté</translation>
    </message>
    <message>
        <source>The damaged settings file was kept as %1</source>
        <translation>Le fichier de réglages endommagé a été conservé sous %1</translation>
    </message>
    <message>
        <source>The damaged queue file %1 could not be kept aside.</source>
        <translation>Le fichier de file d&apos;attente endommagé %1 n&apos;a pas pu être mis de côté.</translation>
    </message>
    <message>
        <source>The damaged queue file was kept as %1</source>
        <translation>Le fichier de file d&apos;attente endommagé a été conservé sous %1</translation>
    </message>
    <message>
        <source>Cannot save data: the server is open for reading</source>
        <translation>Impossible d&apos;enregistrer les données : le serveur est ouvert en lecture seule</translation>
    </message>
    <message>
        <source>Cannot delete %1: %2</source>
        <translation>Impossible de supprimer %1 : %2</translation>
    </message>
    <message>
        <source>The file holds no goal</source>
        <translation>Le fichier ne contient aucun objectif</translation>
    </message>
    <message>
        <source>No analyte of the file is defined: nothing was imported</source>
        <translation>Aucun analyte du fichier n&apos;est défini : rien n&apos;a été importé</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>alerte</translation>
    </message>
    <message>
        <source>REJECT</source>
        <translation>REJET</translation>
    </message>
    <message>
        <source>discarded</source>
        <translation>écarté</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>none</source>
        <translation>aucun</translation>
    </message>
    <message>
        <source>%1 (%2), %3 to %4: %5 run, %6 warnings, %7 rejects, %8 discarded values</source>
        <translation>%1 (%2), du %3 au %4 : %5 série, %6 alertes, %7 rejets, %8 valeurs écartées</translation>
    </message>
    <message>
        <source>%1 (%2), %3 to %4: %5 runs, %6 warnings, %7 rejects, %8 discarded values</source>
        <translation>%1 (%2), du %3 au %4 : %5 séries, %6 alertes, %7 rejets, %8 valeurs écartées</translation>
    </message>
    <message>
        <source>Runs and rule outcomes:</source>
        <translation>Séries et résultats des règles :</translation>
    </message>
    <message>
        <source>no corrective action given</source>
        <translation>aucune action corrective indiquée</translation>
    </message>
    <message>
        <source> of %1</source>
        <translation> du %1</translation>
    </message>
    <message>
        <source> (reason: %1)</source>
        <translation> (motif : %1)</translation>
    </message>
    <message>
        <source>Corrective actions:</source>
        <translation>Actions correctives :</translation>
    </message>
    <message>
        <source>Changes in the journal:</source>
        <translation>Modifications dans le journal :</translation>
    </message>
    <message>
        <source>Sign-offs:</source>
        <translation>Signatures :</translation>
    </message>
    <message>
        <source>%1 to %2 signed by %3 on %4</source>
        <translation>du %1 au %2 signé par %3 le %4</translation>
    </message>
    <message>
        <source>; reopened %1: %2</source>
        <translation> ; rouvert le %1 : %2</translation>
    </message>
    <message>
        <source>CV % = 100 x SD / |mean|</source>
        <translation>CV % = 100 x ET / |moyenne|</translation>
    </message>
    <message>
        <source>Bias % = 100 x (mean - target) / |target|; no target: bias not known, taken as 0</source>
        <translation>Biais % = 100 x (moyenne - cible) / |cible| ; sans cible : biais inconnu, pris égal à 0</translation>
    </message>
    <message>
        <source>TEa % = TEa, or 100 x TEa / |mean| for a TEa in the analyte&apos;s unit</source>
        <translation>TEa % = TEa, ou 100 x TEa / |moyenne| pour une TEa dans l&apos;unité de l&apos;analyte</translation>
    </message>
    <message>
        <source>Sigma = (TEa % - |bias %|) / CV %</source>
        <translation>Sigma = (TEa % - |biais %|) / CV %</translation>
    </message>
    <message>
        <source>Critical systematic error: dSEcrit = Sigma - 1.65 (in SD)</source>
        <translation>Erreur systématique critique : dSEcrit = Sigma - 1,65 (en ET)</translation>
    </message>
    <message>
        <source>Pfr, Ped: share of simulated runs rejected by the program&apos;s rules without systematic error and with dSEcrit (fixed seed)</source>
        <translation>Pfr, Ped : part des séries simulées rejetées par les règles du programme sans erreur systématique et avec dSEcrit (graine fixe)</translation>
    </message>
    <message>
        <source>1:3s or 1:2s alone: Pfr = 1 - prod(Phi(k) - Phi(-k)), Ped = 1 - prod(Phi(k - dSE) - Phi(-k - dSE))</source>
        <translation>1:3s ou 1:2s seule : Pfr = 1 - prod(Phi(k) - Phi(-k)), Ped = 1 - prod(Phi(k - dSE) - Phi(-k - dSE))</translation>
    </message>
    <message>
        <source>%1 run</source>
        <translation>%1 série</translation>
    </message>
    <message>
        <source>%1 runs</source>
        <translation>%1 séries</translation>
    </message>
    <message>
        <source>The run was saved, but the queue file could not be written:<byte value="xd"/>%1</source>
        <translation>La série a été enregistrée, mais le fichier de file d&apos;attente n&apos;a pas pu être écrit :<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>The data was backed up, but the date of the backup could not be saved:<byte value="xd"/>%1</source>
        <translation>Les données ont été sauvegardées, mais la date de la sauvegarde n&apos;a pas pu être enregistrée :<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>The analytes were saved, but their quality goals were not carried over:<byte value="xd"/>%1</source>
        <translation>Les analytes ont été enregistrés, mais leurs objectifs de qualité n&apos;ont pas été repris :<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Repeated the control and it was in range</source>
        <translation>Contrôle répété, il était dans les limites</translation>
    </message>
    <message>
        <source>Recalibrated</source>
        <translation>Recalibré</translation>
    </message>
    <message>
        <source>New control vial</source>
        <translation>Nouveau flacon de contrôle</translation>
    </message>
    <message>
        <source>Maintenance</source>
        <translation>Maintenance</translation>
    </message>
    <message>
        <source>Reagent lot changed</source>
        <translation>Lot de réactif changé</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Autre</translation>
    </message>
    <message>
        <source>Give the reviewer&apos;s operator code</source>
        <translation>Indiquez le code d&apos;opérateur du réviseur</translation>
    </message>
    <message>
        <source>Give the reviewer&apos;s operator code (1 to 4 characters)</source>
        <translation>Indiquez le code d&apos;opérateur du réviseur (1 à 4 caractères)</translation>
    </message>
    <message>
        <source>it ends inside a message</source>
        <translation>il se termine au milieu d&apos;un message</translation>
    </message>
    <message>
        <source>no mapping</source>
        <translation>aucune correspondance</translation>
    </message>
    <message>
        <source>the analyte %1 does not exist</source>
        <translation>l&apos;analyte %1 n&apos;existe pas</translation>
    </message>
    <message>
        <source>The runs from the instruments were saved, but not marked so in the database:<byte value="xd"/>%1</source>
        <translation>Les séries des automates ont été enregistrées, mais pas marquées comme telles dans la base de données :<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>Level %1: %2 has %3 level</source>
        <translation>Niveau %1 : %2 a %3 niveau</translation>
    </message>
    <message>
        <source>Level %1: %2 has %3 levels</source>
        <translation>Niveau %1 : %2 a %3 niveaux</translation>
    </message>
    <message>
        <source>%1 (source %2): nothing of it was taken.</source>
        <translation>%1 (source %2) : rien n&apos;en a été repris.</translation>
    </message>
    <message>
        <source>%1 (source %2): its other results were taken; the lines below were not. Correct them and drop the file again: what was taken is not taken twice.</source>
        <translation>%1 (source %2) : ses autres résultats ont été repris, pas les lignes ci-dessous. Corrigez-les et déposez à nouveau le fichier : ce qui a été repris ne l&apos;est pas deux fois.</translation>
    </message>
    <message>
        <source>it is being written</source>
        <translation>il est en cours d&apos;écriture</translation>
    </message>
    <message>
        <source>The file is larger than %1 MB: no instrument file is.</source>
        <translation>Le fichier dépasse %1 Mo : aucun fichier d&apos;automate n&apos;est aussi grand.</translation>
    </message>
    <message>
        <source>Operator accounts are kept on a server; this folder has none</source>
        <translation>Les comptes d&apos;opérateurs sont conservés sur un serveur ; ce dossier n&apos;en a pas</translation>
    </message>
    <message>
        <source>Sign in: the server %1 asks for an operator code and password</source>
        <translation>Connexion : le serveur %1 demande un code d&apos;opérateur et un mot de passe</translation>
    </message>
    <message>
        <source>The archive %1 is not on the server</source>
        <translation>L&apos;archive %1 n&apos;est pas sur le serveur</translation>
    </message>
    <message>
        <source>Damaged analyte %1 on the server: limits</source>
        <translation>Analyte %1 endommagé sur le serveur : limites</translation>
    </message>
    <message>
        <source>Damaged analyte %1 on the server: fixed limits are not numbers</source>
        <translation>Analyte %1 endommagé sur le serveur : les limites fixes ne sont pas des nombres</translation>
    </message>
    <message>
        <source>The server&apos;s database was set up by a newer Varnholt (%1 %2); this one cannot use it. Install the newer Varnholt on this bench.</source>
        <translation>La base de données du serveur a été créée par un Varnholt plus récent (%1 %2) ; celui-ci ne peut pas l&apos;utiliser. Installez le Varnholt plus récent sur ce poste.</translation>
    </message>
    <message>
        <source>The server&apos;s database holds no Varnholt data yet: migrate a folder into it, or start Varnholt on it once</source>
        <translation>La base de données du serveur ne contient pas encore de données Varnholt : migrez-y un dossier, ou démarrez Varnholt une fois dessus</translation>
    </message>
    <message>
        <source>The server&apos;s database was set up by an older Varnholt: start Varnholt on it once to bring it up to date</source>
        <translation>La base de données du serveur a été créée par un Varnholt plus ancien : démarrez Varnholt une fois dessus pour la mettre à jour</translation>
    </message>
    <message>
        <source>The server&apos;s database cannot be set up with the rights of this connection: %1</source>
        <translation>La base de données du serveur ne peut pas être préparée avec les droits de cette connexion : %1</translation>
    </message>
    <message>
        <source>The server %1 does not answer; nothing was changed. Try again once it answers.</source>
        <translation>Le serveur %1 ne répond pas ; rien n&apos;a été modifié. Réessayez dès qu&apos;il répond.</translation>
    </message>
    <message>
        <source>The connection to the server %1 was lost while the change was saved: it was not saved.</source>
        <translation>La connexion au serveur %1 a été perdue pendant l&apos;enregistrement de la modification : elle n&apos;a pas été enregistrée.</translation>
    </message>
    <message>
        <source>The connection to the server %1 was lost while the change was saved: it is shown as the server holds it once the server answers again.</source>
        <translation>La connexion au serveur %1 a été perdue pendant l&apos;enregistrement de la modification : elle sera affichée telle que le serveur la conserve dès qu&apos;il répondra à nouveau.</translation>
    </message>
    <message>
        <source>The connection to the server %1 was lost: nothing was saved.</source>
        <translation>La connexion au serveur %1 a été perdue : rien n&apos;a été enregistré.</translation>
    </message>
    <message>
        <source>The analytes or materials were changed on another bench meanwhile: this change was not saved. The lists now show what the server holds.</source>
        <translation>Les analytes ou les matériaux ont été modifiés entre-temps sur un autre poste : cette modification n&apos;a pas été enregistrée. Les listes montrent maintenant ce que contient le serveur.</translation>
    </message>
    <message>
        <source>The settings were changed on another bench meanwhile: this change was not saved. They now show what the server holds.</source>
        <translation>Les réglages ont été modifiés entre-temps sur un autre poste : cette modification n&apos;a pas été enregistrée. Ils montrent maintenant ce que contient le serveur.</translation>
    </message>
    <message>
        <source>%1 was changed on another bench meanwhile: this change was not saved. This bench wanted: %2. The server holds instead: %3. %1 now shows what the server holds; make the change again if still needed.</source>
        <translation>%1 a été modifié entre-temps sur un autre poste : cette modification n&apos;a pas été enregistrée. Ce poste voulait : %2. Le serveur contient à la place : %3. %1 montre maintenant ce que contient le serveur ; refaites la modification si elle est encore nécessaire.</translation>
    </message>
    <message>
        <source>%1 was deleted on another bench meanwhile: the run was not saved. The lists now show what the server holds.</source>
        <translation>%1 a été supprimé entre-temps sur un autre poste : la série n&apos;a pas été enregistrée. Les listes montrent maintenant ce que contient le serveur.</translation>
    </message>
    <message>
        <source>%1 was deleted on another bench meanwhile: this change was not saved. The lists now show what the server holds.</source>
        <translation>%1 a été supprimé entre-temps sur un autre poste : cette modification n&apos;a pas été enregistrée. Les listes montrent maintenant ce que contient le serveur.</translation>
    </message>
    <message>
        <source>%1 was changed on another bench meanwhile and has fewer levels now: the run was not saved.</source>
        <translation>%1 a été modifié entre-temps sur un autre poste et a maintenant moins de niveaux : la série n&apos;a pas été enregistrée.</translation>
    </message>
    <message>
        <source>A period of %1 was signed on another bench meanwhile: the run was not saved. Enter it again with a reason.</source>
        <translation>Une période de %1 a été signée entre-temps sur un autre poste : la série n&apos;a pas été enregistrée. Saisissez-la à nouveau avec un motif.</translation>
    </message>
    <message>
        <source>Runs of other benches reached %1 meanwhile, and on them the run of %2 is judged otherwise: %3 instead of %4. The run was not saved; judge it again.</source>
        <translation>Des séries d&apos;autres postes sont arrivées entre-temps pour %1, et avec elles la série du %2 est jugée autrement : %3 au lieu de %4. La série n&apos;a pas été enregistrée ; jugez-la à nouveau.</translation>
    </message>
    <message>
        <source>Runs of other benches reached %1 meanwhile: the run was judged again on them, alike, and saved.</source>
        <translation>Des séries d&apos;autres postes sont arrivées entre-temps pour %1 : la série a été jugée à nouveau avec elles, de la même façon, et enregistrée.</translation>
    </message>
    <message>
        <source>Sign-in refused: unknown operator code or wrong password</source>
        <translation>Connexion refusée : code d&apos;opérateur inconnu ou mot de passe erroné</translation>
    </message>
    <message>
        <source>Sign-in refused: too many wrong passwords for this code; try again in 15 minutes</source>
        <translation>Connexion refusée : trop de mots de passe erronés pour ce code ; réessayez dans 15 minutes</translation>
    </message>
    <message>
        <source>Sign in to %1</source>
        <translation>Connectez-vous pour %1</translation>
    </message>
    <message>
        <source>Only a supervisor may %1 (%2 is signed in as a technologist)</source>
        <translation>Seul un superviseur peut %1 (%2 est connecté comme technicien)</translation>
    </message>
    <message>
        <source>An operator code has 1 to 16 characters</source>
        <translation>Un code d&apos;opérateur comporte de 1 à 16 caractères</translation>
    </message>
    <message>
        <source>The first account must be a supervisor&apos;s: only a supervisor can make the others</source>
        <translation>Le premier compte doit être celui d&apos;un superviseur : seul un superviseur peut créer les autres</translation>
    </message>
    <message>
        <source>manage the accounts</source>
        <translation>gérer les comptes</translation>
    </message>
    <message>
        <source>A new account needs a password</source>
        <translation>Un nouveau compte a besoin d&apos;un mot de passe</translation>
    </message>
    <message>
        <source>The last supervisor&apos;s account cannot lose its rights</source>
        <translation>Le compte du dernier superviseur ne peut pas perdre ses droits</translation>
    </message>
    <message>
        <source>No account %1</source>
        <translation>Aucun compte %1</translation>
    </message>
    <message>
        <source>The last supervisor&apos;s account cannot be removed</source>
        <translation>Le compte du dernier superviseur ne peut pas être supprimé</translation>
    </message>
    <message>
        <source>Damaged point of %1 on the server</source>
        <translation>Point endommagé de %1 sur le serveur</translation>
    </message>
    <message>
        <source>Sign in to change the data</source>
        <translation>Connectez-vous pour modifier les données</translation>
    </message>
    <message>
        <source>Only a supervisor may change %1 other than by entering runs (%2 is signed in as a technologist)</source>
        <translation>Seul un superviseur peut modifier %1 autrement qu&apos;en saisissant des séries (%2 est connecté comme technicien)</translation>
    </message>
    <message>
        <source>change the analytes or the materials</source>
        <translation>modifier les analytes ou les matériaux</translation>
    </message>
    <message>
        <source>change the settings</source>
        <translation>modifier les réglages</translation>
    </message>
    <message>
        <source>delete archives</source>
        <translation>supprimer des archives</translation>
    </message>
    <message>
        <source>change the quality goals</source>
        <translation>modifier les objectifs de qualité</translation>
    </message>
    <message>
        <source>Cannot write the rule sets: the folder is open for reading</source>
        <translation>Impossible d&apos;écrire les jeux de règles : le dossier est ouvert en lecture seule</translation>
    </message>
    <message>
        <source>The rule sets cannot be kept: the database %1%2 is not available</source>
        <translation>Les jeux de règles ne peuvent pas être conservés : la base de données %1%2 n&apos;est pas disponible</translation>
    </message>
    <message>
        <source>The analytes were saved, but their rule sets were not carried over:<byte value="xd"/>%1</source>
        <translation>Les analytes ont été enregistrés, mais leurs jeux de règles n&apos;ont pas été repris :<byte value="xd"/>%1</translation>
    </message>
    <message>
        <source>change the rule sets</source>
        <translation>modifier les jeux de règles</translation>
    </message>
    <message>
        <source>switch the inbox&apos;s auto-accept on or off</source>
        <translation>activer ou désactiver l&apos;acceptation automatique de la boîte de réception</translation>
    </message>
    <message>
        <source>change the reading options of an instrument</source>
        <translation>modifier les options de lecture d&apos;un instrument</translation>
    </message>
    <message>
        <source>change the instrument mapping</source>
        <translation>modifier la correspondance des instruments</translation>
    </message>
    <message>
        <source>N must be 1 to %1, not %2</source>
        <translation>N doit être compris entre 1 et %1, et non %2</translation>
    </message>
    <message>
        <source>%1: no level has a Sigma (a TEa and two values or more are needed)</source>
        <translation>%1 : aucun niveau n&apos;a de Sigma (il faut un TEa et au moins deux valeurs)</translation>
    </message>
    <message>
        <source>change the list of corrective actions</source>
        <translation>modifier la liste des actions correctives</translation>
    </message>
    <message>
        <source>set the operators&apos; passwords</source>
        <translation>définir les mots de passe des opérateurs</translation>
    </message>
    <message>
        <source>the bias reaches the TEa</source>
        <translation>le biais atteint la TEa</translation>
    </message>
    <message>
        <source>Common CV on: CV % = the levels&apos; CVs pooled with weights N - 1, SD = CV x |mean|, as the limits use them</source>
        <translation>CV commun actif : CV % = les CV des niveaux regroupés avec les poids N - 1, ET = CV x |moyenne|, comme les limites les utilisent</translation>
    </message>
    <message>
        <source>%1: TEa is out of range</source>
        <translation>%1 : l&apos;ETa est hors limites</translation>
    </message>
    <message>
        <source>%1: nothing was imported</source>
        <translation>%1 : rien n&apos;a été importé</translation>
    </message>
    <message>
        <source>TEa &apos;%1&apos; is out of range</source>
        <translation>L&apos;ETa « %1 » est hors limites</translation>
    </message>
    <message>
        <source>target of level %1 &apos;%2&apos; is out of range</source>
        <translation>la valeur cible du niveau %1 « %2 » est hors limites</translation>
    </message>
    <message>
        <source>%1 (%2), %3 to %4: %5, %6, %7, %8</source>
        <translation>%1 (%2), du %3 au %4 : %5, %6, %7, %8</translation>
    </message>
    <message>
        <source>%1 warning</source>
        <translation>%1 alerte</translation>
    </message>
    <message>
        <source>%1 warnings</source>
        <translation>%1 alertes</translation>
    </message>
    <message>
        <source>%1 reject</source>
        <translation>%1 rejet</translation>
    </message>
    <message>
        <source>%1 rejects</source>
        <translation>%1 rejets</translation>
    </message>
    <message>
        <source>%1 discarded value</source>
        <translation>%1 valeur écartée</translation>
    </message>
    <message>
        <source>%1 discarded values</source>
        <translation>%1 valeurs écartées</translation>
    </message>
    <message>
        <source>The newest backup %1 is damaged. Restore aborted</source>
        <translation>La sauvegarde la plus récente %1 est endommagée. Restauration abandonnée</translation>
    </message>
    <message>
        <source>No database backup in %1 was made with %2.</source>
        <translation>Aucune sauvegarde de la base de données dans %1 n&apos;a été faite avec %2.</translation>
    </message>
    <message>
        <source>Runs before 1 January 1900 cannot be stored</source>
        <translation>Les séries antérieures au 1er janvier 1900 ne peuvent pas être enregistrées</translation>
    </message>
    <message>
        <source>The file is empty</source>
        <translation>Le fichier est vide</translation>
    </message>
    <message>
        <source>Missing columns: %1</source>
        <translation>Colonnes manquantes : %1</translation>
    </message>
    <message>
        <source>A quote is not closed</source>
        <translation>Un guillemet n&apos;est pas fermé</translation>
    </message>
    <message>
        <source>No %1</source>
        <translation>Pas de %1</translation>
    </message>
    <message>
        <source>Not an ISO date (yyyy-mm-dd): %1</source>
        <translation>Pas une date ISO (aaaa-mm-jj) : %1</translation>
    </message>
    <message>
        <source>%1 is not a number: %2</source>
        <translation>%1 n&apos;est pas un nombre : %2</translation>
    </message>
    <message>
        <source>participants is not a whole number of at least 1: %1</source>
        <translation>participants n&apos;est pas un nombre entier d&apos;au moins 1 : %1</translation>
    </message>
    <message>
        <source>The SD must be above zero</source>
        <translation>L&apos;écart-type doit être supérieur à zéro</translation>
    </message>
    <message>
        <source>The same sample as line %1</source>
        <translation>Le même échantillon que la ligne %1</translation>
    </message>
    <message>
        <source>The file holds no result</source>
        <translation>Le fichier ne contient aucun résultat</translation>
    </message>
    <message>
        <source>Lot %1: fewer than two values in the period, left out</source>
        <translation>Lot %1 : moins de deux valeurs dans la période, non pris en compte</translation>
    </message>
    <message>
        <source>Lot %1: a mean of zero has no CV, left out</source>
        <translation>Lot %1 : une moyenne nulle n&apos;a pas de CV, non pris en compte</translation>
    </message>
    <message>
        <source>No value in the period</source>
        <translation>Aucune valeur dans la période</translation>
    </message>
    <message>
        <source>No lot holds two values in the period</source>
        <translation>Aucun lot n&apos;a deux valeurs dans la période</translation>
    </message>
    <message>
        <source>No stated uncertainty of the target is given</source>
        <translation>Aucune incertitude déclarée de la cible n&apos;est donnée</translation>
    </message>
    <message>
        <source>No EQA result in the period</source>
        <translation>Aucun résultat d&apos;EEQ dans la période</translation>
    </message>
    <message>
        <source>No peer statistics in the period</source>
        <translation>Aucune statistique de groupe de pairs dans la période</translation>
    </message>
    <message>
        <source>The coverage factor must be above zero</source>
        <translation>Le facteur d&apos;élargissement doit être supérieur à zéro</translation>
    </message>
    <message>
        <source>The period ends before it starts</source>
        <translation>La période se termine avant de commencer</translation>
    </message>
    <message>
        <source>Archive %1: no level uses its material %2 now, left out</source>
        <translation>Archive %1 : aucun niveau n&apos;utilise plus son matériel %2, non pris en compte</translation>
    </message>
    <message>
        <source>Archive %1: several levels use its material %2, left out</source>
        <translation>Archive %1 : plusieurs niveaux utilisent son matériel %2, non pris en compte</translation>
    </message>
    <message>
        <source>Archive %1: %2 lines could not be read</source>
        <translation>Archive %1 : %2 lignes n&apos;ont pas pu être lues</translation>
    </message>
    <message>
        <source>Cannot record EQA results: the folder is open for reading</source>
        <translation>Impossible d&apos;enregistrer les résultats d&apos;EEQ : le dossier est ouvert en lecture</translation>
    </message>
    <message>
        <source>EQA results are kept in a folder&apos;s database; the server does not keep them</source>
        <translation>Les résultats d&apos;EEQ sont conservés dans la base de données d&apos;un dossier ; le serveur ne les conserve pas</translation>
    </message>
    <message>
        <source>EQA results cannot be kept: the database %1%2 is not available</source>
        <translation>Les résultats d&apos;EEQ ne peuvent pas être conservés : la base de données %1%2 n&apos;est pas disponible</translation>
    </message>
    <message>
        <source>This sample is already recorded</source>
        <translation>Cet échantillon est déjà enregistré</translation>
    </message>
    <message>
        <source>Refused lines: %1. Nothing was imported</source>
        <translation>Lignes refusées : %1. Rien n&apos;a été importé</translation>
    </message>
    <message>
        <source>Applied: %1 (the analyte&apos;s own rules).
</source>
        <translation>Appliquées : %1 (règles propres de l&apos;analyte).
</translation>
    </message>
    <message>
        <source>Cannot write %1: the password is kept in the database, which is not open</source>
        <translation>Impossible d&apos;écrire %1 : le mot de passe est conservé dans la base de données, qui n&apos;est pas ouverte</translation>
    </message>
    <message>
        <source>The program password could not be checked (the database does not hold it) and was removed: set it again in the Configuration menu.</source>
        <translation>Le mot de passe du programme n&apos;a pas pu être vérifié (la base de données ne le contient pas) et a été supprimé : définissez-le à nouveau dans le menu Configuration.</translation>
    </message>
    <message>
        <source>%1 holds a password and every user of this computer can read it: make it readable by its owner only (chmod 600 %1).</source>
        <translation>%1 contient un mot de passe et tout utilisateur de cet ordinateur peut le lire : rendez-le lisible par son propriétaire seul (chmod 600 %1).</translation>
    </message>
    <message>
        <source>Not a journal head: %1</source>
        <translation>Pas une tête de journal : %1</translation>
    </message>
    <message>
        <source>The journal holds no entry with the head %1: entries up to it were changed or removed since it was printed</source>
        <translation>Le journal ne contient aucune entrée de tête %1 : des entrées jusqu&apos;à elle ont été modifiées ou supprimées depuis son impression</translation>
    </message>
    <message>
        <source>%1 was not found although the data holds %2 runs: a new journal starts here, without the entries before it. If Varnholt was used in this folder before, its database was removed: restore it from a backup.</source>
        <translation>%1 est introuvable alors que les données contiennent %2 séries : un nouveau journal commence ici, sans les entrées antérieures. Si Varnholt a déjà été utilisé dans ce dossier, sa base de données a été supprimée : restaurez-la depuis une sauvegarde.</translation>
    </message>
    <message>
        <source>The text is larger than an import takes (%1 MB at most)</source>
        <translation>Le texte est plus grand qu&apos;une importation n&apos;en accepte (%1 Mo au plus)</translation>
    </message>
    <message>
        <source>longer than %1 bytes, not read</source>
        <translation>plus long que %1 octets, non lu</translation>
    </message>
    <message>
        <source>Cannot record peer statistics: the folder is open for reading</source>
        <translation>Impossible d&apos;enregistrer les statistiques de groupe de pairs : le dossier est ouvert en lecture</translation>
    </message>
    <message>
        <source>Peer statistics are kept in a folder&apos;s database; the server does not keep them</source>
        <translation>Les statistiques de groupe de pairs sont conservées dans la base de données d&apos;un dossier ; le serveur ne les conserve pas</translation>
    </message>
    <message>
        <source>Peer statistics cannot be kept: the database %1%2 is not available</source>
        <translation>Les statistiques de groupe de pairs ne peuvent pas être conservées : la base de données %1%2 n&apos;est pas disponible</translation>
    </message>
    <message>
        <source>%1 has no level %2</source>
        <translation>%1 n&apos;a pas de niveau %2</translation>
    </message>
    <message>
        <source>This row is already recorded</source>
        <translation>Cette ligne est déjà enregistrée</translation>
    </message>
    <message>
        <source>Another bench recorded some of these rows meanwhile: nothing was imported</source>
        <translation>Un autre poste a enregistré entre-temps certaines de ces lignes : rien n&apos;a été importé</translation>
    </message>
    <message>
        <source>Not a month (yyyy-mm): %1</source>
        <translation>Pas un mois (aaaa-mm) : %1</translation>
    </message>
    <message>
        <source>level is not 1, 2 or 3: %1</source>
        <translation>level n&apos;est pas 1, 2 ou 3 : %1</translation>
    </message>
    <message>
        <source>n is not a whole number of at least 2: %1</source>
        <translation>n n&apos;est pas un nombre entier d&apos;au moins 2 : %1</translation>
    </message>
    <message>
        <source>labs is not a whole number of at least 1: %1</source>
        <translation>labs n&apos;est pas un nombre entier d&apos;au moins 1 : %1</translation>
    </message>
    <message>
        <source>The same row as line %1</source>
        <translation>La même ligne que la ligne %1</translation>
    </message>
    <message>
        <source>The file holds no row</source>
        <translation>Le fichier ne contient aucune ligne</translation>
    </message>
    <message>
        <source>no peer or EQA data for the bias</source>
        <translation>aucune donnée de pairs ni d&apos;EEQ pour le biais</translation>
    </message>
    <message>
        <source>the peer data</source>
        <translation>les données de pairs</translation>
    </message>
    <message>
        <source>the EQA results</source>
        <translation>les résultats d&apos;EEQ</translation>
    </message>
    <message>
        <source>the target</source>
        <translation>la valeur cible</translation>
    </message>
    <message>
        <source>%1: on the server the bias is taken from the target; peer and EQA data are kept in a folder&apos;s database</source>
        <translation>%1 : sur le serveur, le biais est pris de la valeur cible ; les données de pairs et d&apos;EEQ sont conservées dans la base de données d&apos;un dossier</translation>
    </message>
    <message>
        <source>An alarm is acknowledged with the corrective action taken</source>
        <translation>Une alarme est acquittée avec l&apos;action corrective menée</translation>
    </message>
    <message>
        <source>%1 has no patient-based QC alarm at %2</source>
        <translation>%1 n&apos;a pas d&apos;alarme du CQ basé sur les patients à %2</translation>
    </message>
    <message>
        <source>The alarm of %1 at %2 was acknowledged already</source>
        <translation>L&apos;alarme de %1 à %2 a déjà été acquittée</translation>
    </message>
</context>
<context>
    <name>TChartPrinter</name>
    <message>
        <source>Legend:</source>
        <translation>Légende :</translation>
    </message>
    <message>
        <source>1:3s  rule broken</source>
        <translation>1:3s  règle violée</translation>
    </message>
    <message>
        <source>  %1 QC charts  </source>
        <translation>  Cartes de contrôle %1  </translation>
    </message>
    <message>
        <source>Limits in force</source>
        <translation>Limites en vigueur</translation>
    </message>
    <message>
        <source>Limit mode and reference period</source>
        <translation>Mode des limites et période de référence</translation>
    </message>
    <message>
        <source>Target (%1)</source>
        <translation>Valeur cible (%1)</translation>
    </message>
    <message>
        <source>SD</source>
        <translation>ET</translation>
    </message>
    <message>
        <source>Warning limits</source>
        <translation>Limites d&apos;alerte</translation>
    </message>
    <message>
        <source>Action limits</source>
        <translation>Limites d&apos;action</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 à %2</translation>
    </message>
    <message>
        <source>Reviewed by ______________________________    on ____________________</source>
        <translation>Revu par ______________________________    le ____________________</translation>
    </message>
    <message>
        <source>value</source>
        <translation>valeur</translation>
    </message>
    <message>
        <source>discarded</source>
        <translation>écarté</translation>
    </message>
    <message>
        <source>mean</source>
        <translation>moyenne</translation>
    </message>
    <message>
        <source>warning limits</source>
        <translation>limites d&apos;alerte</translation>
    </message>
    <message>
        <source>action limits</source>
        <translation>limites d&apos;action</translation>
    </message>
    <message>
        <source>locked interval</source>
        <translation>intervalle verrouillé</translation>
    </message>
    <message>
        <source>reviewed and signed</source>
        <translation>revu et signé</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>Statistiques</translation>
    </message>
    <message>
        <source>m (%1)</source>
        <translation>m (%1)</translation>
    </message>
    <message>
        <source>C.V. (%)</source>
        <translation>C.V. (%)</translation>
    </message>
    <message>
        <source>- Page %1 - %2 QC - Printed on %3 -</source>
        <translation>- Page %1 - CQ %2 - Imprimé le %3 -</translation>
    </message>
</context>
<context>
    <name>TGBFixedParam</name>
    <message>
        <source>Target value</source>
        <translation>Valeur cible</translation>
    </message>
    <message>
        <source>Deviations allowed before</source>
        <translation>Écarts admis avant</translation>
    </message>
    <message>
        <source>Fixed</source>
        <translation>Fixe</translation>
    </message>
    <message>
        <source>Mobile</source>
        <translation>Mobile</translation>
    </message>
    <message>
        <source>Action &lt; Warning</source>
        <translation>Action &lt; Alerte</translation>
    </message>
</context>
<context>
    <name>TGBLockedParam</name>
    <message>
        <source>Locked</source>
        <translation>Verrouillée</translation>
    </message>
    <message>
        <source>Mobile</source>
        <translation>Mobile</translation>
    </message>
</context>
<context>
    <name>TInboxWatch</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Last reading %1 cancelled: the files wait until %2</source>
        <translation>Dernière lecture %1 annulée : les fichiers attendent jusqu&apos;à %2</translation>
    </message>
    <message>
        <source>Placing the runs read from the inbox...</source>
        <translation>Placement des séries lues du dossier d&apos;entrée...</translation>
    </message>
    <message>
        <source>Reading the inbox...</source>
        <translation>Lecture du dossier d&apos;entrée...</translation>
    </message>
    <message>
        <source>, %1 not listening</source>
        <translation>, %1 sans écoute</translation>
    </message>
    <message>
        <source>%1 listens on port %2 (%3)</source>
        <translation>%1 écoute sur le port %2 (%3)</translation>
    </message>
    <message>
        <source>, %1 waiting</source>
        <translation>, %1 en attente</translation>
    </message>
    <message>
        <source>&amp;Instrument mapping</source>
        <translation>&amp;Affectation des automates</translation>
    </message>
    <message>
        <source>&amp;Inbox</source>
        <translation>&amp;Entrée</translation>
    </message>
    <message>
        <source>%1 run(s) to the queue, %2 stored, %3 result(s) not mapped</source>
        <translation>%1 série(s) dans la file d&apos;attente, %2 enregistrée(s), %3 résultat(s) non affecté(s)</translation>
    </message>
    <message>
        <source>Last reading </source>
        <translation>Dernière lecture </translation>
    </message>
    <message>
        <source>Inbox: unavailable</source>
        <translation>Entrée : indisponible</translation>
    </message>
    <message>
        <source>Inbox: %1 new</source>
        <translation>Entrée : %1 nouveau(x)</translation>
    </message>
    <message>
        <source>, %1 not mapped</source>
        <translation>, %1 non affecté(s)</translation>
    </message>
    <message>
        <source>, %1 failed</source>
        <translation>, %1 en échec</translation>
    </message>
    <message>
        <source>%1 to failed: %2</source>
        <translation>%1 vers « failed » : %2</translation>
    </message>
    <message>
        <source>%1 read: %2</source>
        <translation>%1 lu : %2</translation>
    </message>
    <message>
        <source>%1 waits: %2</source>
        <translation>%1 en attente : %2</translation>
    </message>
    <message>
        <source>Results from the instruments in %1: held runs from the inbox, results waiting for a mapping
</source>
        <translation>Résultats des automates dans %1 : séries en attente venues de l&apos;entrée, résultats attendant une affectation
</translation>
    </message>
</context>
<context>
    <name>TNotMappedModel</name>
    <message>
        <source> line </source>
        <translation> ligne </translation>
    </message>
</context>
<context>
    <name>TPrintJob</name>
    <message>
        <source>The printout could not be started.</source>
        <translation>L&apos;impression n&apos;a pas pu être lancée.</translation>
    </message>
</context>
<context>
    <name>TProgram</name>
    <message>
        <source>Cannot read data</source>
        <translation>Impossible de lire les données</translation>
    </message>
    <message>
        <source>Varnholt cannot find a folder for its data: HOME is not set.<byte value="xd"/>Set HOME, or name the folder in VARNHOLT_HOME.</source>
        <translation>Varnholt ne trouve pas de dossier pour ses données : HOME n&apos;est pas défini.<byte value="xd"/>Définissez HOME, ou indiquez le dossier dans VARNHOLT_HOME.</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.<byte value="xd"/>Create it and start Varnholt there ?</source>
        <translation>Le dossier %1 n&apos;existe pas.<byte value="xd"/>Le créer et y démarrer Varnholt ?</translation>
    </message>
    <message>
        <source>Varnholt is already running on the folder %1, so this copy ends without changing anything.</source>
        <translation>Varnholt fonctionne déjà sur le dossier %1 ; cette copie se termine donc sans rien modifier.</translation>
    </message>
    <message>
        <source>Varnholt cannot use the folder %1: %2<byte value="xd"/>This copy ends without changing anything.</source>
        <translation>Varnholt ne peut pas utiliser le dossier %1 : %2<byte value="xd"/>Cette copie se termine sans rien modifier.</translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation>Connexion</translation>
    </message>
    <message>
        <source>Operator code</source>
        <translation>Code de l&apos;opérateur</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
</context>
<context>
    <name>TQtPrompt</name>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmer</translation>
    </message>
</context>
<context>
    <name>TSigmaPages</name>
    <message>
        <source>&amp;Reference points</source>
        <translation>Points de &amp;référence</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Du</translation>
    </message>
    <message>
        <source>to</source>
        <translation>au</translation>
    </message>
    <message>
        <source>&amp;Use these rules</source>
        <translation>&amp;Utiliser ces règles</translation>
    </message>
    <message>
        <source>%1 is already judged by these rules.</source>
        <translation>%1 est déjà jugé selon ces règles.</translation>
    </message>
    <message>
        <source> or </source>
        <translation> ou </translation>
    </message>
    <message>
        <source>Judge the runs of %1 from now on by the rules advised for level %2 (Sigma %3): %4?
The multirule switch no longer applies to it. The advice runs %5.</source>
        <translation>Juger désormais les séries de %1 selon les règles conseillées pour le niveau %2 (Sigma %3) : %4 ?
Le choix des règles de Westgard ne s&apos;applique plus. Le conseil prévoit %5.</translation>
    </message>
</context>
<context>
    <name>TWinAbout</name>
    <message>
        <source>About Varnholt</source>
        <translation>À propos de Varnholt</translation>
    </message>
    <message>
        <source>Data folder:
</source>
        <translation>Dossier des données :
</translation>
    </message>
    <message>
        <source>Internal quality control, version 1.0.0</source>
        <translation>Contrôle de qualité interne, version 1.0.0</translation>
    </message>
    <message>
        <source>&amp;Do not show this window again</source>
        <translation>Ne &amp;plus afficher cette fenêtre</translation>
    </message>
    <message>
        <source>Levey-Jennings charts, Westgard multirules and Student&apos;s t control limits for the medical laboratory.</source>
        <translation>Cartes de Levey-Jennings, règles de Westgard et limites de contrôle selon le t de Student pour le laboratoire médical.</translation>
    </message>
</context>
<context>
    <name>TWinArchives</name>
    <message>
        <source>&amp;Show QC points</source>
        <translation>&amp;Afficher les points</translation>
    </message>
    <message>
        <source>&amp;Delete selection</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>Ann&amp;uler modif.</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Imprimer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>QC archives for %1</source>
        <translation>Archives de CQ de %1</translation>
    </message>
    <message>
        <source>Nothing to show</source>
        <translation>Rien à afficher</translation>
    </message>
    <message>
        <source>Printing QC archives</source>
        <translation>Impression des archives de CQ</translation>
    </message>
    <message>
        <source>Archived statistics for %1</source>
        <translation>Statistiques archivées de %1</translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Rien à imprimer</translation>
    </message>
    <message numerus="yes">
        <source>Why are %n archives of %1 deleted?</source>
        <translation>
            <numerusform>Pourquoi %n archive de %1 est-elle supprimée ?</numerusform>
            <numerusform>Pourquoi %n archives de %1 sont-elles supprimées ?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TWinCorrectiveActions</name>
    <message>
        <source>Corrective actions</source>
        <translation>Actions correctives</translation>
    </message>
    <message>
        <source>Offered when a rule rejects a run, one per line:</source>
        <translation>Proposées quand une règle rejette une série, une par ligne :</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>TWinDailyQC</name>
    <message>
        <source>QC daily summary</source>
        <translation>Synthèse quotidienne du CQ</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>&amp;Today</source>
        <translation>&amp;Aujourd&apos;hui</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Imprimer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Rien à imprimer</translation>
    </message>
</context>
<context>
    <name>TWinDefAnalytes</name>
    <message>
        <source>Definition of analytes</source>
        <translation>Définition des analytes</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Levels</source>
        <translation>Niveaux</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>Unité</translation>
    </message>
    <message>
        <source>Decimals</source>
        <translation>Décimales</translation>
    </message>
    <message>
        <source>(15 characters max)</source>
        <translation>(15 caractères max.)</translation>
    </message>
    <message>
        <source>(1 to 3)</source>
        <translation>(1 à 3)</translation>
    </message>
    <message>
        <source>(6 chararcters max)</source>
        <translation>(6 caractères max.)</translation>
    </message>
    <message>
        <source>(0 to 3)</source>
        <translation>(0 à 3)</translation>
    </message>
    <message>
        <source>&amp;Add to list</source>
        <translation>&amp;Ajouter à la liste</translation>
    </message>
    <message>
        <source>&amp;Replace in list</source>
        <translation>&amp;Remplacer dans la liste</translation>
    </message>
    <message>
        <source>Reset &amp;fields</source>
        <translation>Réinitialiser les &amp;champs</translation>
    </message>
    <message>
        <source>&amp;Delete analyte</source>
        <translation>&amp;Supprimer l&apos;analyte</translation>
    </message>
    <message>
        <source>&amp;Sort analytes by names</source>
        <translation>&amp;Trier les analytes par nom</translation>
    </message>
    <message>
        <source>Sort Analytes</source>
        <translation>Trier les analytes</translation>
    </message>
    <message>
        <source>T&amp;op</source>
        <translation>&amp;Début</translation>
    </message>
    <message>
        <source>Do&amp;wn</source>
        <translation>&amp;Bas</translation>
    </message>
    <message>
        <source>&amp;Bottom</source>
        <translation>F&amp;in</translation>
    </message>
    <message>
        <source>Quality goals</source>
        <translation>Objectifs de qualité</translation>
    </message>
    <message>
        <source>&amp;TEa</source>
        <translation>&amp;ETa</translation>
    </message>
    <message>
        <source>Target level %1</source>
        <translation>Valeur cible niveau %1</translation>
    </message>
    <message>
        <source>B&amp;ias from</source>
        <translation>B&amp;iais tiré de</translation>
    </message>
    <message>
        <source>On the server the bias is taken from the target; peer and EQA data are kept in a folder&apos;s database</source>
        <translation>Sur le serveur, le biais est tiré de la cible ; les données des pairs et de l&apos;EEQ sont tenues dans la base d&apos;un dossier</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>Ann&amp;uler modif.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>(unit)</source>
        <translation>(unité)</translation>
    </message>
    <message>
        <source>Select the analyte to replace</source>
        <translation>Sélectionnez l&apos;analyte à remplacer</translation>
    </message>
    <message>
        <source>Select the analyte to delete</source>
        <translation>Sélectionnez l&apos;analyte à supprimer</translation>
    </message>
    <message>
        <source>Select the analyte to move</source>
        <translation>Sélectionnez l&apos;analyte à déplacer</translation>
    </message>
    <message>
        <source>A TEa in the unit needs a unit</source>
        <translation>Une ETa dans l&apos;unité nécessite une unité</translation>
    </message>
    <message>
        <source>Type the TEa as a number and choose % or the unit beside it</source>
        <translation>Saisissez l&apos;ETa sous forme de nombre et choisissez % ou l&apos;unité à côté</translation>
    </message>
    <message>
        <source>Missing name</source>
        <translation>Nom manquant</translation>
    </message>
    <message>
        <source>Duplicate names</source>
        <translation>Noms en double</translation>
    </message>
    <message>
        <source>You want to reduce the number of QC levels for %1<byte value="xd"/></source>
        <translation>Vous voulez réduire le nombre de niveaux de CQ de %1<byte value="xd"/></translation>
    </message>
    <message>
        <source>Cannot suppress QC level %1.<byte value="xd"/>You must first erase/archive data.</source>
        <translation>Impossible de supprimer le niveau de CQ %1.<byte value="xd"/>Vous devez d&apos;abord effacer/archiver les données.</translation>
    </message>
    <message>
        <source>Cannot suppress QC3 and QC2 levels.<byte value="xd"/>You must first erase/archive data.</source>
        <translation>Impossible de supprimer les niveaux QC3 et QC2.<byte value="xd"/>Vous devez d&apos;abord effacer/archiver les données.</translation>
    </message>
    <message>
        <source>Warning, you are about to clear all archived data and <byte value="xd"/>current control points for %1<byte value="xd"/>Confirm analyte deletion :</source>
        <translation>Attention, vous allez effacer toutes les données archivées et <byte value="xd"/>les points de contrôle actuels de %1<byte value="xd"/>Confirmez la suppression de l&apos;analyte :</translation>
    </message>
    <message>
        <source>U&amp;p</source>
        <translation>&amp;Haut</translation>
    </message>
    <message>
        <source>%1 is typed in the fields but not in the list.<byte value="xd"/>Add it to the list before closing ?</source>
        <translation>%1 est saisi dans les champs mais n&apos;est pas dans la liste.<byte value="xd"/>L&apos;ajouter à la liste avant de fermer ?</translation>
    </message>
    <message>
        <source>Rules (empty: Westgard multirules)</source>
        <translation>Règles (vide : règles de Westgard)</translation>
    </message>
    <message>
        <source>Rule names separated by commas; a rule in neither field is off: %1</source>
        <translation>Noms des règles séparés par des virgules ; une règle absente des deux champs est désactivée : %1</translation>
    </message>
    <message>
        <source>Re&amp;ject</source>
        <translation>Re&amp;jet</translation>
    </message>
    <message>
        <source>Warnin&amp;g</source>
        <translation>A&amp;vertissement</translation>
    </message>
</context>
<context>
    <name>TWinDefSerum</name>
    <message>
        <source>Definition of control materials</source>
        <translation>Définition des contrôles</translation>
    </message>
    <message>
        <source>List of registered control materials</source>
        <translation>Liste des contrôles enregistrés</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>(15 characters max)</source>
        <translation>(15 caractères max.)</translation>
    </message>
    <message>
        <source>Lot</source>
        <translation>Lot</translation>
    </message>
    <message>
        <source>(10 characters max)</source>
        <translation>(10 caractères max.)</translation>
    </message>
    <message>
        <source>&amp;Add to list</source>
        <translation>&amp;Ajouter à la liste</translation>
    </message>
    <message>
        <source>&amp;Change only the definition of materials</source>
        <translation>Modifier &amp;uniquement la définition des contrôles</translation>
    </message>
    <message>
        <source>Change and &amp;erase former data</source>
        <translation>Modifier et &amp;effacer les données antérieures</translation>
    </message>
    <message>
        <source>&amp;Clear fields</source>
        <translation>&amp;Vider les champs</translation>
    </message>
    <message>
        <source>&amp;Delete material</source>
        <translation>&amp;Supprimer le contrôle</translation>
    </message>
    <message>
        <source>&amp;Material used by</source>
        <translation>Contrôle &amp;utilisé par</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>Ann&amp;uler modif.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Select the line to replace</source>
        <translation>Sélectionnez la ligne à remplacer</translation>
    </message>
    <message>
        <source>Select the control material to delete</source>
        <translation>Sélectionnez le contrôle à supprimer</translation>
    </message>
    <message>
        <source>Select one control material</source>
        <translation>Sélectionnez un contrôle</translation>
    </message>
    <message>
        <source>Missing name</source>
        <translation>Nom manquant</translation>
    </message>
    <message>
        <source>Duplicates</source>
        <translation>Doublons</translation>
    </message>
    <message>
        <source>The old control material %1 (%2) is not used for any analyte.<byte value="xd"/>No data to erase. Press the button &lt;Replace in list&gt;.</source>
        <translation>L&apos;ancien contrôle %1 (%2) n&apos;est utilisé par aucun analyte.<byte value="xd"/>Aucune donnée à effacer. Appuyez sur le bouton &lt;Remplacer dans la liste&gt;.</translation>
    </message>
    <message>
        <source>Impossible to delete %1 (%2).<byte value="xd"/>This control material is used by : <byte value="xd"/></source>
        <translation>Impossible de supprimer %1 (%2).<byte value="xd"/>Ce contrôle est utilisé par : <byte value="xd"/></translation>
    </message>
    <message>
        <source>Delete the control material %1 (%2).</source>
        <translation>Supprimer le contrôle %1 (%2).</translation>
    </message>
    <message>
        <source>Analytes controled by %1 (%2) : </source>
        <translation>Analytes contrôlés par %1 (%2) : </translation>
    </message>
    <message>
        <source>Delete data and archive statistics of %1 (%2) in the analyte(s) :<byte value="xd"/></source>
        <translation>Effacer les données et archiver les statistiques de %1 (%2) dans le ou les analytes :<byte value="xd"/></translation>
    </message>
    <message>
        <source>Why are the control materials changed and their data erased?</source>
        <translation>Pourquoi les contrôles sont-ils modifiés et leurs données effacées ?</translation>
    </message>
    <message>
        <source>%1 is typed in the fields but not in the list.<byte value="xd"/>Add it to the list before closing ?</source>
        <translation>%1 est saisi dans les champs mais n&apos;est pas dans la liste.<byte value="xd"/>L&apos;ajouter à la liste avant de fermer ?</translation>
    </message>
</context>
<context>
    <name>TWinDisplaySize</name>
    <message>
        <source>The display size could not be saved in %1.</source>
        <translation>La taille d&apos;affichage n&apos;a pas pu être enregistrée dans %1.</translation>
    </message>
    <message>
        <source>Display size</source>
        <translation>Taille d&apos;affichage</translation>
    </message>
    <message>
        <source>&amp;Size of the windows</source>
        <translation>&amp;Taille des fenêtres</translation>
    </message>
    <message>
        <source>Follow the desktop</source>
        <translation>Suivre le bureau</translation>
    </message>
    <message>
        <source>The new size is used from the next start of Varnholt.</source>
        <translation>La nouvelle taille s&apos;applique au prochain démarrage de Varnholt.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>TWinEmployees</name>
    <message>
        <source>List of operators</source>
        <translation>Liste des opérateurs</translation>
    </message>
    <message>
        <source>Maximum length</source>
        <translation>Longueur maximale</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>Ann&amp;uler modif.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Own &amp;password</source>
        <translation>Son mot de &amp;passe</translation>
    </message>
    <message>
        <source>The password with which the operator of the current row signs reviews</source>
        <translation>Le mot de passe avec lequel l&apos;opérateur de la ligne courante signe les revues</translation>
    </message>
    <message>
        <source>Select the operator.</source>
        <translation>Sélectionnez l&apos;opérateur.</translation>
    </message>
    <message>
        <source>Own password of </source>
        <translation>Mot de passe personnel de </translation>
    </message>
    <message>
        <source>Deletion of :<byte value="xd"/><byte value="xd"/></source>
        <translation>Suppression de :<byte value="xd"/><byte value="xd"/></translation>
    </message>
</context>
<context>
    <name>TWinEntryPsw</name>
    <message>
        <source>QC : enter password</source>
        <translation>CQ : saisir le mot de passe</translation>
    </message>
    <message>
        <source>&amp;Password : </source>
        <translation>&amp;Mot de passe : </translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>TWinImport</name>
    <message>
        <source>Line %1 is dated %2, after today.<byte value="xd"/>Add the runs all the same?</source>
        <translation>La ligne %1 est datée du %2, après aujourd&apos;hui.<byte value="xd"/>Ajouter les séries malgré tout ?</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Imported file contents</source>
        <translation>Contenu du fichier importé</translation>
    </message>
    <message>
        <source>ClipBoard contents</source>
        <translation>Contenu du presse-papiers</translation>
    </message>
    <message>
        <source>Nothing to paste from the clipboard</source>
        <translation>Rien à coller depuis le presse-papiers</translation>
    </message>
    <message>
        <source>&amp;Add the QC data to </source>
        <translation>&amp;Ajouter les données de CQ à </translation>
    </message>
    <message>
        <source>Nothing to import.</source>
        <translation>Rien à importer.</translation>
    </message>
    <message>
        <source>Add the new QC points to the previous ones<byte value="xd"/>The QC mode will be reset to mobile</source>
        <translation>Ajouter les nouveaux points de CQ aux précédents<byte value="xd"/>Le mode de CQ repassera en mobile</translation>
    </message>
    <message>
        <source>Runs fall in a reviewed and signed period of %1: why are they added now?</source>
        <translation>Des séries tombent dans une période revue et signée de %1 : pourquoi sont-elles ajoutées maintenant ?</translation>
    </message>
    <message>
        <source> more lines skipped</source>
        <translation> autres lignes ignorées</translation>
    </message>
    <message>
        <source>&amp;Lines skipped or partly read: </source>
        <translation>&amp;Lignes ignorées ou lues en partie : </translation>
    </message>
    <message>
        <source>Reading the lines...</source>
        <translation>Lecture des lignes...</translation>
    </message>
</context>
<context>
    <name>TWinInboxMapping</name>
    <message>
        <source>%1 removed</source>
        <translation>%1 supprimé</translation>
    </message>
    <message>
        <source>Why is %1 removed without being read?</source>
        <translation>Pourquoi %1 est-il supprimé sans être lu ?</translation>
    </message>
    <message>
        <source>%1 is back in the inbox: it is read when this window closes</source>
        <translation>%1 est de retour dans l&apos;entrée : il sera lu à la fermeture de cette fenêtre</translation>
    </message>
    <message>
        <source>Discarded: %1 result(s) of %2</source>
        <translation>Rejeté : %1 résultat(s) de %2</translation>
    </message>
    <message>
        <source>Why are the %1 results of %2 that wait for a mapping thrown away?</source>
        <translation>Pourquoi les %1 résultats de %2 qui attendent une association sont-ils rejetés ?</translation>
    </message>
    <message>
        <source>Remove the &amp;file</source>
        <translation>Supprimer le &amp;fichier</translation>
    </message>
    <message>
        <source>Put the file back into the inbox, to be read with the options as they are now</source>
        <translation>Remettre le fichier dans l&apos;entrée, pour le lire avec les options actuelles</translation>
    </message>
    <message>
        <source>Read a&amp;gain</source>
        <translation>&amp;Relire</translation>
    </message>
    <message>
        <source>Why</source>
        <translation>Motif</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Files not read (failed)</source>
        <translation>Fichiers non lus (échec)</translation>
    </message>
    <message>
        <source>Throw away the results of the selected result&apos;s file that wait for a mapping</source>
        <translation>Rejeter les résultats du fichier du résultat choisi qui attendent une association</translation>
    </message>
    <message>
        <source>&amp;Discard the results of this file</source>
        <translation>&amp;Rejeter les résultats de ce fichier</translation>
    </message>
    <message>
        <source>%1 %2 %3 is mapped to %4 level %5. Map it to %6 level %7 instead?</source>
        <translation>%1 %2 %3 est associé à %4 niveau %5. L&apos;associer plutôt à %6 niveau %7 ?</translation>
    </message>
    <message>
        <source>Results from the instruments</source>
        <translation>Résultats des automates</translation>
    </message>
    <message>
        <source>Results not mapped</source>
        <translation>Résultats non affectés</translation>
    </message>
    <message>
        <source>Map</source>
        <translation>Affecter</translation>
    </message>
    <message>
        <source>Store the mapping and bring in the results waiting for it</source>
        <translation>Enregistrer l&apos;affectation et intégrer les résultats qui l&apos;attendent</translation>
    </message>
    <message>
        <source>Mappings</source>
        <translation>Affectations</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Contrôle</translation>
    </message>
    <message>
        <source>Analyte</source>
        <translation>Analyte</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <source>Reading options of a source</source>
        <translation>Options de lecture d&apos;une source</translation>
    </message>
    <message>
        <source>Mapped: %1 run(s) to the queue</source>
        <translation>Affecté : %1 série(s) dans la file d&apos;attente</translation>
    </message>
    <message>
        <source> (%1 completing a held run)</source>
        <translation> (%1 complétant une série en attente)</translation>
    </message>
    <message>
        <source>, %1 stored, %2 still not mapped</source>
        <translation>, %1 enregistré(s), %2 toujours non affecté(s)</translation>
    </message>
    <message>
        <source>Reading options of %1 saved</source>
        <translation>Options de lecture de %1 enregistrées</translation>
    </message>
    <message>
        <source>&amp;Map</source>
        <translation>A&amp;ffecter</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Retirer</translation>
    </message>
    <message>
        <source>Sa&amp;ve options</source>
        <translation>&amp;Enregistrer les options</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>TWinInboxOptions</name>
    <message>
        <source>Inbox</source>
        <translation>Entrée</translation>
    </message>
    <message>
        <source>&amp;Inbox folder of the instruments&apos; files</source>
        <translation>&amp;Dossier d&apos;entrée des fichiers des automates</translation>
    </message>
    <message>
        <source>Empty: no inbox. Each subfolder is a source of its own.</source>
        <translation>Vide : pas d&apos;entrée. Chaque sous-dossier est une source à part.</translation>
    </message>
    <message>
        <source>Choose the inbox folder</source>
        <translation>Choisir le dossier d&apos;entrée</translation>
    </message>
    <message>
        <source>&amp;Accept runs with no warning and no reject without validation</source>
        <translation>&amp;Accepter sans validation les séries sans alerte ni rejet</translation>
    </message>
    <message>
        <source>Results of one analyte within</source>
        <translation>Résultats d&apos;un analyte en moins de</translation>
    </message>
    <message>
        <source>minutes form one run</source>
        <translation>minutes forment une série</translation>
    </message>
    <message>
        <source>Inbox folder</source>
        <translation>Dossier d&apos;entrée</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>TWinLogoCQ</name>
    <message>
        <source>Internal quality control</source>
        <translation>Contrôle de qualité interne</translation>
    </message>
</context>
<context>
    <name>TWinMain</name>
    <message>
        <source>Date of the run</source>
        <translation>Date de la série</translation>
    </message>
    <message>
        <source>Time of the run</source>
        <translation>Heure de la série</translation>
    </message>
    <message>
        <source>Analytes</source>
        <translation>Analytes</translation>
    </message>
    <message>
        <source>The display size of %1 % leaves the windows too little room on this screen: they are shown at 100 %. Choose a size that fits under Configuration &gt; Display size.</source>
        <translation>La taille d&apos;affichage de %1 % laisse trop peu de place aux fenêtres sur cet écran : elles sont affichées à 100 %. Choisissez une taille qui convient sous Configuration &gt; Taille d&apos;affichage.</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>Qu&amp;itter</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Data ta&amp;ble</source>
        <translation>&amp;Tableau des données</translation>
    </message>
    <message>
        <source>Table of QC data</source>
        <translation>Tableau des données de CQ</translation>
    </message>
    <message>
        <source>&amp;Print charts</source>
        <translation>Imprimer les &amp;cartes</translation>
    </message>
    <message>
        <source>Printing control charts</source>
        <translation>Impression des cartes de contrôle</translation>
    </message>
    <message>
        <source>Archi&amp;ves</source>
        <translation>Archi&amp;ves</translation>
    </message>
    <message>
        <source>Show archived data</source>
        <translation>Afficher les données archivées</translation>
    </message>
    <message>
        <source>D&amp;aily QC</source>
        <translation>CQ du &amp;jour</translation>
    </message>
    <message>
        <source>Daily QC results</source>
        <translation>Résultats de CQ du jour</translation>
    </message>
    <message>
        <source>&amp;Control limits</source>
        <translation>&amp;Limites de contrôle</translation>
    </message>
    <message>
        <source>Show control limits</source>
        <translation>Afficher les limites de contrôle</translation>
    </message>
    <message>
        <source>Bac&amp;kup</source>
        <translation>Sa&amp;uvegarde</translation>
    </message>
    <message>
        <source>Backup on diskette</source>
        <translation>Sauvegarde sur disquette</translation>
    </message>
    <message>
        <source>Assign &amp;lots</source>
        <translation>Affecter les l&amp;ots</translation>
    </message>
    <message>
        <source>Change QC material or lot number</source>
        <translation>Changer de contrôle ou de numéro de lot</translation>
    </message>
    <message>
        <source>Q&amp;ueue : 0</source>
        <translation>File d&apos;&amp;attente : 0</translation>
    </message>
    <message>
        <source>Queue of held QC results</source>
        <translation>File d&apos;attente des résultats de CQ en attente</translation>
    </message>
    <message>
        <source>Locking control limits</source>
        <translation>Verrouillage des limites de contrôle</translation>
    </message>
    <message>
        <source>Fixing control limits</source>
        <translation>Fixation des limites de contrôle</translation>
    </message>
    <message>
        <source>Erasing QC levels</source>
        <translation>Effacement des niveaux de CQ</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Opérateur</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Commentaire</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>Ann&amp;uler modif.</translation>
    </message>
    <message>
        <source>&amp;Analytes</source>
        <translation>&amp;Analytes</translation>
    </message>
    <message>
        <source>&amp;Control materials</source>
        <translation>&amp;Contrôles</translation>
    </message>
    <message>
        <source>&amp;Operators</source>
        <translation>&amp;Opérateurs</translation>
    </message>
    <message>
        <source>&amp;Backup/restore options</source>
        <translation>Options de &amp;sauvegarde/restauration</translation>
    </message>
    <message>
        <source>&amp;Password</source>
        <translation>&amp;Mot de passe</translation>
    </message>
    <message>
        <source>Statistical &amp;risks</source>
        <translation>&amp;Risques statistiques</translation>
    </message>
    <message>
        <source>&amp;Shortcuts</source>
        <translation>Raccourcis &amp;clavier</translation>
    </message>
    <message>
        <source>&amp;Display size</source>
        <translation>&amp;Taille d&apos;affichage</translation>
    </message>
    <message>
        <source>&amp;Diskette restore</source>
        <translation>&amp;Restauration depuis la disquette</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>&amp;Exporter</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Importer</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copier</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>C&amp;oller</translation>
    </message>
    <message>
        <source>&amp;Random generator</source>
        <translation>&amp;Générateur aléatoire</translation>
    </message>
    <message>
        <source>&amp;Clear queue</source>
        <translation>&amp;Vider la file d&apos;attente</translation>
    </message>
    <message>
        <source>Exit Varnholt</source>
        <translation>Quitter Varnholt</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Aucun analyte.</translation>
    </message>
    <message>
        <source>Impossible to open the user manual</source>
        <translation>Impossible d&apos;ouvrir le manuel d&apos;utilisation</translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Rien à imprimer</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Du</translation>
    </message>
    <message>
        <source>Partial statistics for the interval</source>
        <translation>Statistiques partielles de l&apos;intervalle</translation>
    </message>
    <message>
        <source>Nothing to archive</source>
        <translation>Rien à archiver</translation>
    </message>
    <message>
        <source>Nothing to erase</source>
        <translation>Rien à effacer</translation>
    </message>
    <message>
        <source>&amp;Journal of changes</source>
        <translation>&amp;Journal des modifications</translation>
    </message>
    <message>
        <source>&amp;Review and sign-off</source>
        <translation>&amp;Revue et signature</translation>
    </message>
    <message>
        <source>&amp;Corrective actions</source>
        <translation>&amp;Actions correctives</translation>
    </message>
    <message>
        <source>Entry of QC points</source>
        <translation>Saisie des points de CQ</translation>
    </message>
    <message>
        <source>Cl&amp;ear</source>
        <translation>&amp;Effacer</translation>
    </message>
    <message>
        <source>Pa&amp;rameters</source>
        <translation>Pa&amp;ramètres</translation>
    </message>
    <message>
        <source>Confi&amp;guration</source>
        <translation>Confi&amp;guration</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>Cl&amp;ipboard</source>
        <translation>Presse-pa&amp;piers</translation>
    </message>
    <message>
        <source>&amp;Special functions</source>
        <translation>Fonctions &amp;spéciales</translation>
    </message>
    <message>
        <source>Rec&amp;ords</source>
        <translation>&amp;Enregistrements</translation>
    </message>
    <message>
        <source>&amp;Lock limits</source>
        <translation>&amp;Verrouiller les limites</translation>
    </message>
    <message>
        <source>&amp;Fix limits</source>
        <translation>&amp;Fixer les limites</translation>
    </message>
    <message>
        <source>&amp;Erase/archive levels</source>
        <translation>&amp;Effacer/archiver des niveaux</translation>
    </message>
    <message>
        <source>&amp;User manual</source>
        <translation>&amp;Manuel d&apos;utilisation</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>You  are not using the small screen font.<byte value="xd"/>You must change it to the small one (96 pixels per inch).</source>
        <translation>Vous n&apos;utilisez pas la petite police d&apos;écran.<byte value="xd"/>Vous devez passer à la petite (96 pixels par pouce).</translation>
    </message>
    <message>
        <source>Your screen resolution is 640 x 480 pixels.<byte value="xd"/>The programme needs a minimum resolution of 800 x 600 pixels.<byte value="xd"/>You must change it.</source>
        <translation>La résolution de votre écran est de 640 x 480 pixels.<byte value="xd"/>Le programme nécessite une résolution d&apos;au moins 800 x 600 pixels.<byte value="xd"/>Vous devez la modifier.</translation>
    </message>
    <message>
        <source>Operator = %1</source>
        <translation>Opérateur = %1</translation>
    </message>
    <message>
        <source>Why is the point of %1 corrected?</source>
        <translation>Pourquoi le point de %1 est-il corrigé ?</translation>
    </message>
    <message>
        <source>Define a date interval at the bottom of the charts<byte value="xd"/> - click on one end of the interval, then Shift+click on the other end<byte value="xd"/> - or click on one end and glide to the other end;<byte value="xd"/>The selected date interval is spotted in light blue.</source>
        <translation>Définissez un intervalle de dates au bas des cartes<byte value="xd"/> - cliquez sur une extrémité de l&apos;intervalle, puis Maj+clic sur l&apos;autre extrémité<byte value="xd"/> - ou cliquez sur une extrémité et glissez jusqu&apos;à l&apos;autre ;<byte value="xd"/>L&apos;intervalle de dates choisi est repéré en bleu clair.</translation>
    </message>
    <message>
        <source>Not enough QC points in the dates interval for %1</source>
        <translation>Pas assez de points de CQ dans l&apos;intervalle de dates pour %1</translation>
    </message>
    <message>
        <source>You are going to erase/archive the data of %1 QC level(s) for %2<byte value="xd"/></source>
        <translation>Vous allez effacer/archiver les données de %1 niveau(x) de CQ pour %2<byte value="xd"/></translation>
    </message>
    <message>
        <source>Points of %1 in a reviewed and signed period are erased: why?</source>
        <translation>Des points de %1 dans une période revue et signée sont effacés : pourquoi ?</translation>
    </message>
</context>
<context>
    <name>TWinMonthlySummary</name>
    <message>
        <source>First month</source>
        <translation>Premier mois</translation>
    </message>
    <message>
        <source>Last month</source>
        <translation>Dernier mois</translation>
    </message>
    <message>
        <source>Figures per month and level</source>
        <translation>Chiffres par mois et par niveau</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Du</translation>
    </message>
    <message>
        <source>&amp;to</source>
        <translation>&amp;au</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Imprimer</translation>
    </message>
    <message>
        <source>&amp;Export CSV...</source>
        <translation>&amp;Exporter en CSV...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Aucun analyte.</translation>
    </message>
    <message>
        <source>No quality goal: no Sigma (set one in Parameters &gt; Analytes)</source>
        <translation>Aucun objectif de qualité : pas de Sigma (à définir dans Paramètres &gt; Analytes)</translation>
    </message>
    <message>
        <source>Monthly summary of %1</source>
        <translation>Synthèse mensuelle de %1</translation>
    </message>
    <message>
        <source>TEa %1; Sigma marked * has no target (bias taken as 0)</source>
        <translation>ETa %1 ; un Sigma marqué * n&apos;a pas de valeur cible (biais pris égal à 0)</translation>
    </message>
    <message>
        <source>Export the monthly summary</source>
        <translation>Exporter la synthèse mensuelle</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message>
        <source>; bias from %1</source>
        <translation>; source du biais : %1</translation>
    </message>
</context>
<context>
    <name>TWinNewPsw</name>
    <message>
        <source>Change password</source>
        <translation>Changer le mot de passe</translation>
    </message>
    <message>
        <source>&amp;Old password</source>
        <translation>&amp;Ancien mot de passe</translation>
    </message>
    <message>
        <source>&amp;New password</source>
        <translation>&amp;Nouveau mot de passe</translation>
    </message>
    <message>
        <source>&amp;Confirm password</source>
        <translation>&amp;Confirmer le mot de passe</translation>
    </message>
    <message>
        <source>( maximum 10 characters)</source>
        <translation>( 10 caractères au maximum)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>TWinOperatorPassword</name>
    <message>
        <source>Own password</source>
        <translation>Mot de passe personnel</translation>
    </message>
    <message>
        <source>New password (empty: the program&apos;s password serves)</source>
        <translation>Nouveau mot de passe (vide : le mot de passe du programme s&apos;applique)</translation>
    </message>
    <message>
        <source>Repeat it</source>
        <translation>Répétez-le</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>The two passwords differ.</source>
        <translation>Les deux mots de passe diffèrent.</translation>
    </message>
</context>
<context>
    <name>TWinOptions</name>
    <message>
        <source>Backup / restore options</source>
        <translation>Options de sauvegarde / restauration</translation>
    </message>
    <message>
        <source>Choose the backup folder</source>
        <translation>Choisir le dossier de sauvegarde</translation>
    </message>
    <message>
        <source>Backup / restore folder</source>
        <translation>Dossier de sauvegarde / restauration</translation>
    </message>
    <message>
        <source>&amp;Interval between backups</source>
        <translation>&amp;Intervalle entre les sauvegardes</translation>
    </message>
    <message>
        <source>&amp;Backup / restore folder</source>
        <translation>&amp;Dossier de sauvegarde / restauration</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>Ann&amp;uler modif.</translation>
    </message>
    <message>
        <source>No backup folder is chosen.</source>
        <translation>Aucun dossier de sauvegarde n&apos;est choisi.</translation>
    </message>
    <message>
        <source>The backup folder %1 does not exist (a removable medium not mounted?)<byte value="xd"/>Keep it as the backup folder ?</source>
        <translation>Le dossier de sauvegarde %1 n&apos;existe pas (un support amovible non monté ?)<byte value="xd"/>Le garder comme dossier de sauvegarde ?</translation>
    </message>
</context>
<context>
    <name>TWinPrintPreview</name>
    <message>
        <source>Print preview</source>
        <translation>Aperçu avant impression</translation>
    </message>
    <message>
        <source>Fit width</source>
        <translation>Ajuster à la largeur</translation>
    </message>
    <message>
        <source>Whole page</source>
        <translation>Page entière</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Zoom avant</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Zoom arrière</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>Page précédente</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>Page suivante</translation>
    </message>
    <message>
        <source>Choose the printer, the copies, the pages and the paper</source>
        <translation>Choisir l&apos;imprimante, les copies, les pages et le papier</translation>
    </message>
    <message>
        <source>PDF file, %1</source>
        <translation>Fichier PDF, %1</translation>
    </message>
    <message>
        <source>Printer %1, %2</source>
        <translation>Imprimante %1, %2</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Imprimer...</translation>
    </message>
    <message>
        <source>&amp;Save as PDF...</source>
        <translation>&amp;Enregistrer en PDF...</translation>
    </message>
</context>
<context>
    <name>TWinPrnCharts</name>
    <message>
        <source>&amp;First date</source>
        <translation>&amp;Première date</translation>
    </message>
    <message>
        <source>&amp;Last date</source>
        <translation>&amp;Dernière date</translation>
    </message>
    <message>
        <source>Points to print</source>
        <translation>Points à imprimer</translation>
    </message>
    <message>
        <source>QC levels to print</source>
        <translation>Niveaux de CQ à imprimer</translation>
    </message>
    <message>
        <source>Print &amp;statistics</source>
        <translation>Imprimer les &amp;statistiques</translation>
    </message>
    <message>
        <source>&amp;Color printer</source>
        <translation>Imprimante &amp;couleur</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Imprimer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Rien à imprimer</translation>
    </message>
    <message>
        <source>Print QC charts for %1</source>
        <translation>Imprimer les cartes de CQ de %1</translation>
    </message>
    <message>
        <source>Printing QC charts</source>
        <translation>Impression des cartes de CQ</translation>
    </message>
    <message>
        <source>%1 QC charts</source>
        <translation>Cartes de CQ %1</translation>
    </message>
</context>
<context>
    <name>TWinPrnData</name>
    <message>
        <source>&amp;First date</source>
        <translation>&amp;Première date</translation>
    </message>
    <message>
        <source>&amp;Last date</source>
        <translation>&amp;Dernière date</translation>
    </message>
    <message>
        <source>Print &amp;statistics</source>
        <translation>Imprimer les &amp;statistiques</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Imprimer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Lines to print</source>
        <translation>Lignes à imprimer</translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Rien à imprimer</translation>
    </message>
    <message>
        <source>Print QC data for %1</source>
        <translation>Imprimer les données de CQ de %1</translation>
    </message>
    <message>
        <source>Printing QC data</source>
        <translation>Impression des données de CQ</translation>
    </message>
    <message>
        <source>QC data for %1</source>
        <translation>Données de CQ de %1</translation>
    </message>
</context>
<context>
    <name>TWinRandom</name>
    <message>
        <source>&amp;Number of QC points</source>
        <translation>&amp;Nombre de points de CQ</translation>
    </message>
    <message>
        <source>&amp;First date</source>
        <translation>&amp;Première date</translation>
    </message>
    <message>
        <source>QC &amp;time</source>
        <translation>&amp;Heure du CQ</translation>
    </message>
    <message>
        <source>&amp;Distribution of data </source>
        <translation>&amp;Distribution des données </translation>
    </message>
    <message>
        <source>Random data in &amp;queue</source>
        <translation>Données aléatoires en &amp;file d&apos;attente</translation>
    </message>
    <message>
        <source>Random data in &amp;charts</source>
        <translation>Données aléatoires dans les &amp;cartes</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Random data generator for </source>
        <translation>Générateur de données aléatoires pour </translation>
    </message>
    <message>
        <source>Control material</source>
        <translation>Contrôle</translation>
    </message>
    <message>
        <source>Fill in the grid</source>
        <translation>Remplissez la grille</translation>
    </message>
    <message>
        <source>Create %1 random QC points from %2</source>
        <translation>Créer %1 points de CQ aléatoires à partir du %2</translation>
    </message>
    <message>
        <source><byte value="xd"/>Add the new random points in the fifo.</source>
        <translation><byte value="xd"/>Ajouter les nouveaux points aléatoires dans la file d&apos;attente.</translation>
    </message>
    <message>
        <source><byte value="xd"/>Add the new random points to the previous ones.</source>
        <translation><byte value="xd"/>Ajouter les nouveaux points aléatoires aux précédents.</translation>
    </message>
    <message>
        <source>Random points fall in a reviewed and signed period of %1: why are they added now?</source>
        <translation>Des points aléatoires tombent dans une période revue et signée de %1 : pourquoi sont-ils ajoutés maintenant ?</translation>
    </message>
</context>
<context>
    <name>TWinReason</name>
    <message>
        <source>The text has %1 characters; it may have %2. Shorten it.</source>
        <translation>Le texte a %1 caractères ; il peut en avoir %2. Raccourcissez-le.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Reason for the change</source>
        <translation>Raison de la modification</translation>
    </message>
    <message>
        <source>Corrective action</source>
        <translation>Action corrective</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Raison</translation>
    </message>
    <message>
        <source>What was done</source>
        <translation>Ce qui a été fait</translation>
    </message>
</context>
<context>
    <name>TWinReview</name>
    <message>
        <source>Sign as %1 the review from %2 to %3 of:</source>
        <translation>Signer en tant que %1 la revue du %2 au %3 de :</translation>
    </message>
    <message>
        <source>%1: %2 runs in the period</source>
        <translation>%1 : %2 séries dans la période</translation>
    </message>
    <message>
        <source>Review and sign-off</source>
        <translation>Revue et signature</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Afficher</translation>
    </message>
    <message>
        <source>Si&amp;gn</source>
        <translation>&amp;Signer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Analytes</source>
        <translation>Analytes</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Du</translation>
    </message>
    <message>
        <source>To</source>
        <translation>Au</translation>
    </message>
    <message>
        <source>Reviewer</source>
        <translation>Vérificateur</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>Choose one or more analytes.</source>
        <translation>Choisissez un ou plusieurs analytes.</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Aucun analyte.</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Imprimer</translation>
    </message>
    <message>
        <source>Printing the review</source>
        <translation>Impression de la revue</translation>
    </message>
    <message>
        <source>Review </source>
        <translation>Revue </translation>
    </message>
</context>
<context>
    <name>TWinRisks</name>
    <message>
        <source>Varnholt : Statistical parameters</source>
        <translation>Varnholt : paramètres statistiques</translation>
    </message>
    <message>
        <source>The control limits displayed in the panes are valid only for  long QC reference periods 
(&gt;30 points). If shorter, Student&apos;s t is used with the relevant degrees of freedom.</source>
        <translation>Les limites de contrôle affichées dans les volets ne valent que pour de longues périodes de référence 
(&gt;30 points). Pour des périodes plus courtes, le t de Student est utilisé avec les degrés de liberté correspondants.</translation>
    </message>
    <message>
        <source> &amp;Alert limits </source>
        <translation> Limites d&apos;&amp;alerte </translation>
    </message>
    <message>
        <source> A&amp;ction limits </source>
        <translation> Limites d&apos;a&amp;ction </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>Ann&amp;uler modif.</translation>
    </message>
</context>
<context>
    <name>TWinSerumByAnal</name>
    <message>
        <source>Assignment of control materials</source>
        <translation>Affectation des contrôles</translation>
    </message>
    <message>
        <source>Level &amp;%1</source>
        <translation>Niveau &amp;%1</translation>
    </message>
    <message>
        <source>List of registered control materials</source>
        <translation>Liste des contrôles enregistrés</translation>
    </message>
    <message>
        <source>Change only the assignment of materials</source>
        <translation>Modifier uniquement l&apos;affectation des contrôles</translation>
    </message>
    <message>
        <source>Change and &amp;erase former data</source>
        <translation>Modifier et &amp;effacer les données antérieures</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>Ann&amp;uler modif.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>QC materials for </source>
        <translation>Contrôles pour </translation>
    </message>
    <message>
        <source>No control material selected</source>
        <translation>Aucun contrôle sélectionné</translation>
    </message>
    <message>
        <source>Nothing Changed</source>
        <translation>Rien n&apos;a changé</translation>
    </message>
    <message>
        <source>Delete and archive %1 QC data for control material(s) : %2</source>
        <translation>Effacer et archiver les données de CQ de %1 pour le ou les contrôles : %2</translation>
    </message>
</context>
<context>
    <name>TWinSetUp</name>
    <message>
        <source>Quality control</source>
        <translation>Contrôle de qualité</translation>
    </message>
    <message>
        <source>Create a shortcut  on the desktop for &lt; %1 &gt;.</source>
        <translation>Créer un raccourci sur le bureau pour &lt; %1 &gt;.</translation>
    </message>
    <message>
        <source>The installed program is in the menu already</source>
        <translation>Le programme installé figure déjà dans le menu</translation>
    </message>
    <message>
        <source>No icon folder</source>
        <translation>Aucun dossier d&apos;icônes</translation>
    </message>
    <message>
        <source>No desktop folder</source>
        <translation>Aucun dossier de bureau</translation>
    </message>
    <message>
        <source>No applications folder</source>
        <translation>Aucun dossier d&apos;applications</translation>
    </message>
    <message>
        <source>Unable to complete setup</source>
        <translation>Impossible de terminer l&apos;installation</translation>
    </message>
    <message>
        <source>Setup OK</source>
        <translation>Installation réussie</translation>
    </message>
    <message>
        <source>Programme setup</source>
        <translation>Installation du programme</translation>
    </message>
    <message>
        <source>Create an entry &lt; Laboratory QC &gt; in the start menu</source>
        <translation>Créer une entrée &lt; CQ du laboratoire &gt; dans le menu de démarrage</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Cannot create the folder of %1</source>
        <translation>Impossible de créer le dossier de %1</translation>
    </message>
</context>
<context>
    <name>TWinShowArchive</name>
    <message>
        <source>Lot :</source>
        <translation>Lot :</translation>
    </message>
    <message>
        <source>Beginning :</source>
        <translation>Début :</translation>
    </message>
    <message>
        <source>End :</source>
        <translation>Fin :</translation>
    </message>
    <message>
        <source>Mean :</source>
        <translation>Moyenne :</translation>
    </message>
    <message>
        <source>CV :</source>
        <translation>CV :</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Imprimer</translation>
    </message>
    <message>
        <source>Archived data for %1</source>
        <translation>Données archivées de %1</translation>
    </message>
    <message>
        <source>From %1 to %2</source>
        <translation>Du %1 au %2</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>Statistiques</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Moyenne</translation>
    </message>
    <message>
        <source>CV</source>
        <translation>CV</translation>
    </message>
</context>
<context>
    <name>TWinShowData</name>
    <message>
        <source>%1 was deleted or replaced on another bench meanwhile: nothing was changed. Open the table again to see what is stored now.</source>
        <translation>%1 a été supprimé ou remplacé sur un autre poste entre-temps : rien n&apos;a été modifié. Rouvrez le tableau pour voir ce qui est enregistré.</translation>
    </message>
    <message>
        <source>The points of %1 were changed meanwhile: nothing was deleted. Open the table again to see what is stored now.</source>
        <translation>Les points de %1 ont été modifiés entre-temps : rien n&apos;a été supprimé. Rouvrez le tableau pour voir ce qui est enregistré.</translation>
    </message>
    <message>
        <source>The point of %1 on %2 is no longer stored as shown: nothing is edited.</source>
        <translation>Le point de %1 du %2 n&apos;est plus enregistré tel qu&apos;affiché : rien n&apos;est modifié.</translation>
    </message>
    <message>
        <source>Date - time</source>
        <translation>Date - heure</translation>
    </message>
    <message>
        <source>QC%1</source>
        <translation>QC%1</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Opérateur</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Commentaire</translation>
    </message>
    <message>
        <source>&amp;Delete selection</source>
        <translation>&amp;Supprimer la sélection</translation>
    </message>
    <message>
        <source>Delete &amp;all</source>
        <translation>&amp;Tout supprimer</translation>
    </message>
    <message>
        <source>&amp;Edit line</source>
        <translation>&amp;Modifier la ligne</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>Ann&amp;uler modif.</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Imprimer</translation>
    </message>
    <message>
        <source>Printing control charts</source>
        <translation>Impression des cartes de contrôle</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>QC data for </source>
        <translation>Données de CQ de </translation>
    </message>
    <message numerus="yes">
        <source>Why are %n points of %1 deleted?</source>
        <translation>
            <numerusform>Pourquoi %n point de %1 est-il supprimé ?</numerusform>
            <numerusform>Pourquoi %n points de %1 sont-ils supprimés ?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Irreversible deletion of %n lines ?</source>
        <translation>
            <numerusform>Suppression irréversible de %n ligne ?</numerusform>
            <numerusform>Suppression irréversible de %n lignes ?</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing to edit.</source>
        <translation>Rien à modifier.</translation>
    </message>
    <message>
        <source>Select the line to edit.</source>
        <translation>Sélectionnez la ligne à modifier.</translation>
    </message>
    <message>
        <source>Edit and validate again the control point on %1</source>
        <translation>Modifier et valider à nouveau le point de contrôle du %1</translation>
    </message>
    <message numerus="yes">
        <source>Irreversible deletion of %n lines.<byte value="xd"/>+ %1</source>
        <translation>
            <numerusform>Suppression irréversible de %n ligne.<byte value="xd"/>+ %1</numerusform>
            <numerusform>Suppression irréversible de %n lignes.<byte value="xd"/>+ %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Rien à imprimer</translation>
    </message>
    <message>
        <source>Print QC data for %1</source>
        <translation>Imprimer les données de CQ de %1</translation>
    </message>
</context>
<context>
    <name>TWinShowJournal</name>
    <message>
        <source>Journal of changes</source>
        <translation>Journal des modifications</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Du</translation>
    </message>
    <message>
        <source>&amp;To</source>
        <translation>&amp;Au</translation>
    </message>
    <message>
        <source>Analyte</source>
        <translation>Analyte</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Opérateur</translation>
    </message>
    <message>
        <source>&amp;Check the chain</source>
        <translation>&amp;Vérifier la chaîne</translation>
    </message>
    <message>
        <source>&amp;Export CSV</source>
        <translation>&amp;Exporter en CSV</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Imprimer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>The journal is kept in the database, which is not open.</source>
        <translation>Le journal est conservé dans la base de données, qui n&apos;est pas ouverte.</translation>
    </message>
    <message>
        <source>Export the journal</source>
        <translation>Exporter le journal</translation>
    </message>
    <message>
        <source>Nothing to print</source>
        <translation>Rien à imprimer</translation>
    </message>
    <message>
        <source>Printing the journal</source>
        <translation>Impression du journal</translation>
    </message>
    <message>
        <source>The journal is whole: %1 entries match their hashes.</source>
        <translation>Le journal est intact : %1 entrées correspondent à leurs empreintes.</translation>
    </message>
    <message>
        <source>all</source>
        <translation>tous</translation>
    </message>
    <message>
        <source>Analyte: %1    Kind: %2    Operator: %3</source>
        <translation>Analyte : %1    Type : %2    Opérateur : %3</translation>
    </message>
    <message>
        <source>    From: %1</source>
        <translation>    Du : %1</translation>
    </message>
    <message>
        <source>    To: %1</source>
        <translation>    Au : %1</translation>
    </message>
    <message>
        <source>Hash chain whole (%1 entries)</source>
        <translation>Chaîne d&apos;empreintes intacte (%1 entrées)</translation>
    </message>
    <message>
        <source>%1 entry</source>
        <translation>%1 entrée</translation>
    </message>
    <message>
        <source>%1 entries</source>
        <translation>%1 entrées</translation>
    </message>
</context>
<context>
    <name>TWinShowLimits</name>
    <message>
        <source>First date of the period</source>
        <translation>Première date de la période</translation>
    </message>
    <message>
        <source>Last date of the period</source>
        <translation>Dernière date de la période</translation>
    </message>
    <message>
        <source>Sigma metrics</source>
        <translation>Indicateurs Sigma</translation>
    </message>
    <message>
        <source>Advice on the control rules</source>
        <translation>Conseil sur les règles de contrôle</translation>
    </message>
    <message>
        <source>Control limits per level</source>
        <translation>Limites de contrôle par niveau</translation>
    </message>
    <message>
        <source>&amp;Limits</source>
        <translation>&amp;Limites</translation>
    </message>
    <message>
        <source>&amp;Quality goals and Sigma</source>
        <translation>&amp;Objectifs de qualité et Sigma</translation>
    </message>
    <message>
        <source>Po&amp;wer function and decision chart</source>
        <translation>Fonction de &amp;puissance et diagramme de décision</translation>
    </message>
    <message>
        <source>&amp;Common CV method</source>
        <translation>Méthode du C&amp;V commun</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Imprimer</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Aucun analyte.</translation>
    </message>
    <message>
        <source>Control limits for %1</source>
        <translation>Limites de contrôle de %1</translation>
    </message>
    <message>
        <source>QC limits for %1</source>
        <translation>Limites de CQ de %1</translation>
    </message>
</context>
<context>
    <name>TWinValidCQ</name>
    <message>
        <source>QC validation</source>
        <translation>Validation du CQ</translation>
    </message>
    <message>
        <source>Date / time</source>
        <translation>Date / heure</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Opérateur</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Commentaire</translation>
    </message>
    <message>
        <source>Rules across levels</source>
        <translation>Règles entre niveaux</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>&amp;Westgard multirules </source>
        <translation>Règles de &amp;Westgard </translation>
    </message>
    <message>
        <source>No data</source>
        <translation>Pas de données</translation>
    </message>
    <message>
        <source>Discarded</source>
        <translation>Écarté</translation>
    </message>
    <message>
        <source>A rule rejects this run of %1: what was done?</source>
        <translation>Une règle rejette cette série de %1 : qu&apos;a-t-on fait ?</translation>
    </message>
    <message>
        <source>This run falls in a reviewed and signed period of %1: why is it added now?</source>
        <translation>Cette série tombe dans une période revue et signée de %1 : pourquoi est-elle ajoutée maintenant ?</translation>
    </message>
    <message>
        <source>Own rules: %1</source>
        <translation>Règles propres : %1</translation>
    </message>
    <message>
        <source>Reject %1</source>
        <translation>Rejet : %1</translation>
    </message>
    <message>
        <source>Reject %1; warning %2</source>
        <translation>Rejet : %1 ; avertissement : %2</translation>
    </message>
</context>
<context>
    <name>TWinZScores</name>
    <message>
        <source>First date</source>
        <translation>Première date</translation>
    </message>
    <message>
        <source>Last date</source>
        <translation>Dernière date</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Du</translation>
    </message>
    <message>
        <source>&amp;to</source>
        <translation>&amp;au</translation>
    </message>
    <message>
        <source>&amp;Youden plot of</source>
        <translation>&amp;Youden du niveau</translation>
    </message>
    <message>
        <source>against</source>
        <translation>contre</translation>
    </message>
    <message>
        <source>&amp;z-score chart</source>
        <translation>Carte des &amp;z-scores</translation>
    </message>
    <message>
        <source>Youden p&amp;lot</source>
        <translation>Diagramme de Youden (&amp;l)</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Imprimer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Aucun analyte.</translation>
    </message>
    <message>
        <source>Level %1</source>
        <translation>Niveau %1</translation>
    </message>
    <message>
        <source>Normalised charts of %1</source>
        <translation>Cartes normalisées de %1</translation>
    </message>
    <message>
        <source>Points from %1 to %2</source>
        <translation>Points du %1 au %2</translation>
    </message>
</context>
<context>
    <name>UArchives</name>
    <message>
        <source>Begin</source>
        <translation>Début</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Fin</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Lot</source>
        <translation>Lot</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Moyenne</translation>
    </message>
    <message>
        <source>CV</source>
        <translation>CV</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Nombre</translation>
    </message>
</context>
<context>
    <name>UDailyQC</name>
    <message>
        <source>Analytes</source>
        <translation>Analytes</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Heure</translation>
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
        <translation>Opérateur</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Commentaire</translation>
    </message>
    <message>
        <source>Cumulative daily QC : %1</source>
        <translation>CQ du jour cumulé : %1</translation>
    </message>
    <message>
        <source>Analyte</source>
        <translation>Analyte</translation>
    </message>
</context>
<context>
    <name>UMainCharts</name>
    <message>
        <source>in control</source>
        <translation>sous contrôle</translation>
    </message>
    <message>
        <source>beyond a warning limit</source>
        <translation>au-delà d&apos;une limite d&apos;alerte</translation>
    </message>
    <message>
        <source>beyond an action limit</source>
        <translation>au-delà d&apos;une limite d&apos;action</translation>
    </message>
    <message>
        <source>discarded</source>
        <translation>écarté</translation>
    </message>
    <message>
        <source>no value</source>
        <translation>aucune valeur</translation>
    </message>
    <message>
        <source>, rules %1</source>
        <translation>, règles %1</translation>
    </message>
    <message>
        <source>QC charts</source>
        <translation>Cartes CQ</translation>
    </message>
    <message>
        <source>No analyte</source>
        <translation>Aucun analyte</translation>
    </message>
    <message>
        <source>%1, number of points: %2</source>
        <translation>%1, nombre de points : %2</translation>
    </message>
    <message>
        <source>Level %1, %2</source>
        <translation>Niveau %1, %2</translation>
    </message>
    <message>
        <source>: last value %1</source>
        <translation> : dernière valeur %1</translation>
    </message>
    <message>
        <source>; target %1, warning limits %2 to %3, action limits %4 to %5</source>
        <translation>; cible %1, limites d&apos;alerte %2 à %3, limites d&apos;action %4 à %5</translation>
    </message>
    <message>
        <source>; no limits yet</source>
        <translation>; pas encore de limites</translation>
    </message>
    <message>
        <source>Left and Right arrows choose a point, Home and End the first and the last, Enter opens it in the data table.</source>
        <translation>Les flèches gauche et droite choisissent un point, Début et Fin le premier et le dernier, Entrée l&apos;ouvre dans le tableau des données.</translation>
    </message>
</context>
<context>
    <name>UDrawChart</name>
    <message>
        <source>Common CV</source>
        <translation>CV commun</translation>
    </message>
    <message>
        <source>Mobile limits</source>
        <translation>Limites mobiles</translation>
    </message>
    <message>
        <source>Locked limits</source>
        <translation>Limites verrouillées</translation>
    </message>
    <message>
        <source>Fixed limits</source>
        <translation>Limites fixes</translation>
    </message>
    <message>
        <source>Jan</source>
        <translation>janv</translation>
    </message>
    <message>
        <source>Feb</source>
        <translation>févr</translation>
    </message>
    <message>
        <source>Mar</source>
        <translation>mars</translation>
    </message>
    <message>
        <source>Apr</source>
        <translation>avr</translation>
    </message>
    <message>
        <source>May</source>
        <translation>mai</translation>
    </message>
    <message>
        <source>Jun</source>
        <translation>juin</translation>
    </message>
    <message>
        <source>Jul</source>
        <translation>juil</translation>
    </message>
    <message>
        <source>Aug</source>
        <translation>août</translation>
    </message>
    <message>
        <source>Sep</source>
        <translation>sept</translation>
    </message>
    <message>
        <source>Oct</source>
        <translation>oct</translation>
    </message>
    <message>
        <source>Nov</source>
        <translation>nov</translation>
    </message>
    <message>
        <source>Dec</source>
        <translation>déc</translation>
    </message>
    <message>
        <source>CV = %1 %</source>
        <translation>CV = %1 %</translation>
    </message>
</context>
<context>
    <name>UEntryFlow</name>
    <message>
        <source>Enter data</source>
        <translation>Saisir les données</translation>
    </message>
    <message>
        <source>Nothing hold in the queue.</source>
        <translation>Aucun résultat dans la file d&apos;attente.</translation>
    </message>
    <message>
        <source>Confirm data backup</source>
        <translation>Confirmer la sauvegarde des données</translation>
    </message>
    <message>
        <source>Backup aborted</source>
        <translation>Sauvegarde abandonnée</translation>
    </message>
    <message>
        <source>Backup OK</source>
        <translation>Sauvegarde réussie</translation>
    </message>
    <message>
        <source>Restore aborted</source>
        <translation>Restauration abandonnée</translation>
    </message>
    <message>
        <source>No backup file to restore</source>
        <translation>Aucun fichier de sauvegarde à restaurer</translation>
    </message>
    <message>
        <source>Restore OK</source>
        <translation>Restauration réussie</translation>
    </message>
    <message>
        <source>No analyte</source>
        <translation>Aucun analyte</translation>
    </message>
    <message>
        <source>Q&amp;ueue : %1</source>
        <translation>File d&apos;&amp;attente : %1</translation>
    </message>
    <message>
        <source>Erase %1 control points in the queue ?</source>
        <translation>Effacer %1 points de contrôle de la file d&apos;attente ?</translation>
    </message>
    <message>
        <source>The backup folder %1 does not exist (a removable medium not mounted?)</source>
        <translation>Le dossier de sauvegarde %1 n&apos;existe pas (un support amovible non monté ?)</translation>
    </message>
    <message>
        <source>No backup folder is chosen.</source>
        <translation>Aucun dossier de sauvegarde n&apos;est choisi.</translation>
    </message>
    <message>
        <source>The backup in %1 holds %2 runs, the data now only %3.<byte value="xd"/>Replace the backup with less data ?</source>
        <translation>La sauvegarde dans %1 contient %2 séries, les données actuelles seulement %3.<byte value="xd"/>Remplacer la sauvegarde par moins de données ?</translation>
    </message>
    <message>
        <source>Backuping data to %1</source>
        <translation>Sauvegarde des données vers %1</translation>
    </message>
    <message>
        <source>Confirm data restore from diskette. The date of source file is : %1</source>
        <translation>Confirmez la restauration depuis la disquette. Date du fichier source : %1</translation>
    </message>
    <message>
        <source>Restoring data from %1</source>
        <translation>Restauration des données depuis %1</translation>
    </message>
    <message>
        <source>The newest backup %1 is damaged.<byte value="xd"/>Restore the older backup %2 of %3, holding %4, instead ?</source>
        <translation>La sauvegarde la plus récente %1 est endommagée.<byte value="xd"/>Restaurer à la place la sauvegarde plus ancienne %2 du %3, qui contient %4 ?</translation>
    </message>
    <message numerus="yes">
        <source>%n run(s)</source>
        <translation>
            <numerusform>%n série</numerusform>
            <numerusform>%n séries</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UExchangeCommands</name>
    <message>
        <source>Data file of Drovanta 2 (*.dat)</source>
        <translation>Fichier de données de Drovanta 2 (*.dat)</translation>
    </message>
    <message>
        <source>Backup file of Drovanta 2 (*.sav)</source>
        <translation>Fichier de sauvegarde de Drovanta 2 (*.sav)</translation>
    </message>
    <message>
        <source>No analyte to import data</source>
        <translation>Aucun analyte pour importer les données</translation>
    </message>
    <message>
        <source>Bad file format</source>
        <translation>Format de fichier incorrect</translation>
    </message>
    <message>
        <source>No analyte</source>
        <translation>Aucun analyte</translation>
    </message>
    <message>
        <source>No analyte to paste</source>
        <translation>Aucun analyte à coller</translation>
    </message>
    <message>
        <source>Bad clipboard format</source>
        <translation>Format du presse-papiers incorrect</translation>
    </message>
    <message>
        <source>%1 analyte was imported before the error.</source>
        <translation>%1 analyte a été importé avant l&apos;erreur.</translation>
    </message>
    <message>
        <source>%1 analytes were imported before the error.</source>
        <translation>%1 analytes ont été importés avant l&apos;erreur.</translation>
    </message>
    <message>
        <source>Cannot read data</source>
        <translation>Impossible de lire les données</translation>
    </message>
    <message>
        <source>The file %1<byte value="xd"/>already exists. Overwrite ?</source>
        <translation>Le fichier %1<byte value="xd"/>existe déjà. L&apos;écraser ?</translation>
    </message>
    <message>
        <source>The data were not exported.<byte value="xd"/></source>
        <translation>Les données n&apos;ont pas été exportées.<byte value="xd"/></translation>
    </message>
    <message>
        <source>Text files with tabs as separators, Windows-1252 (*.txt)</source>
        <translation>Fichiers texte séparés par des tabulations, Windows-1252 (*.txt)</translation>
    </message>
    <message>
        <source>Text files with tabs as separators, UTF-8 (*.txt)</source>
        <translation>Fichiers texte séparés par des tabulations, UTF-8 (*.txt)</translation>
    </message>
    <message>
        <source>Text file from spreadsheet (*.txt)</source>
        <translation>Fichier texte de tableur (*.txt)</translation>
    </message>
</context>
<context>
    <name>UImport</name>
    <message>
        <source>Nothing to copy.</source>
        <translation>Rien à copier.</translation>
    </message>
    <message>
        <source>The data for %1 are now copied in the clipboard.<byte value="xd"/>You can paste them in a spreadsheet.</source>
        <translation>Les données de %1 sont maintenant copiées dans le presse-papiers.<byte value="xd"/>Vous pouvez les coller dans un tableur.</translation>
    </message>
</context>
<context>
    <name>UInboxMapping</name>
    <message>
        <source>from the file</source>
        <translation>du fichier</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Contrôle</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Valeur</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Date et heure</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Why</source>
        <translation>Motif</translation>
    </message>
    <message>
        <source>&amp;Source</source>
        <translation>&amp;Source</translation>
    </message>
    <message>
        <source>&amp;Test code</source>
        <translation>Code de &amp;test</translation>
    </message>
    <message>
        <source>Control / &amp;lot</source>
        <translation>Contrôle / &amp;lot</translation>
    </message>
    <message>
        <source>&amp;Analyte</source>
        <translation>&amp;Analyte</translation>
    </message>
    <message>
        <source>Le&amp;vel</source>
        <translation>&amp;Niveau</translation>
    </message>
</context>
<context>
    <name>UMainCommands</name>
    <message>
        <source>No analyte.</source>
        <translation>Aucun analyte.</translation>
    </message>
</context>
<context>
    <name>UMainPages</name>
    <message>
        <source>Locked from </source>
        <translation>Verrouillées du </translation>
    </message>
    <message>
        <source> to </source>
        <translation> au </translation>
    </message>
    <message>
        <source>Fixed limits</source>
        <translation>Limites fixes</translation>
    </message>
    <message>
        <source>Mobile limits</source>
        <translation>Limites mobiles</translation>
    </message>
    <message>
        <source>Erase/archive data</source>
        <translation>Effacer/archiver les données</translation>
    </message>
    <message>
        <source>Un-erase data</source>
        <translation>Annuler l&apos;effacement des données</translation>
    </message>
</context>
<context>
    <name>UMainQuality</name>
    <message>
        <source>Patient-based QC chart</source>
        <translation>Graphique du CQ basé sur les patients</translation>
    </message>
    <message>
        <source>The patients&apos; results between the runs in view (Quality &gt; Patient-based QC: the procedure and its alarms)</source>
        <translation>Les résultats patients entre les séries affichées (Qualité &gt; CQ basé sur les patients : la procédure et ses alarmes)</translation>
    </message>
    <message>
        <source>E&amp;xternal quality assessment</source>
        <translation>É&amp;valuation externe de la qualité</translation>
    </message>
    <message>
        <source>&amp;Quality</source>
        <translation>&amp;Qualité</translation>
    </message>
    <message>
        <source>&amp;Z-scores and Youden plot</source>
        <translation>&amp;Z-scores et diagramme de Youden</translation>
    </message>
    <message>
        <source>&amp;Monthly summary</source>
        <translation>Synthèse &amp;mensuelle</translation>
    </message>
    <message>
        <source>&amp;Import quality goals...</source>
        <translation>&amp;Importer des objectifs de qualité...</translation>
    </message>
    <message>
        <source>Import quality goals</source>
        <translation>Importer des objectifs de qualité</translation>
    </message>
    <message>
        <source>%1 quality goal imported</source>
        <translation>%1 objectif de qualité importé</translation>
    </message>
    <message>
        <source>%1 quality goals imported</source>
        <translation>%1 objectifs de qualité importés</translation>
    </message>
    <message>
        <source>Goal files (*.csv *.txt);;All files (*)</source>
        <translation>Fichiers d&apos;objectifs (*.csv *.txt);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>&amp;Peer comparison</source>
        <translation>Comparaison avec les &amp;pairs</translation>
    </message>
    <message>
        <source>Import p&amp;eer statistics...</source>
        <translation>Importer les statistiques de pa&amp;irs...</translation>
    </message>
    <message>
        <source>Import peer statistics</source>
        <translation>Importer les statistiques de pairs</translation>
    </message>
    <message>
        <source>Peer files (*.csv *.txt);;All files (*)</source>
        <translation>Fichiers de pairs (*.csv *.txt);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>%1 row of peer statistics imported</source>
        <translation>%1 ligne de statistiques de pairs importée</translation>
    </message>
    <message>
        <source>%1 rows of peer statistics imported</source>
        <translation>%1 lignes de statistiques de pairs importées</translation>
    </message>
    <message>
        <source>Measurement &amp;uncertainty</source>
        <translation>Incertit&amp;ude de mesure</translation>
    </message>
    <message>
        <source>P&amp;atient-based QC</source>
        <translation>CQ b&amp;asé sur les patients</translation>
    </message>
    <message>
        <source>Patient QC alarm: %1</source>
        <translation>Alarme CQ patients : %1</translation>
    </message>
    <message>
        <source>An alarm of the patients&apos; results is open until it is acknowledged with the corrective action (Quality &gt; Patient-based QC)</source>
        <translation>Une alarme des résultats patients reste ouverte tant qu&apos;elle n&apos;est pas acquittée avec l&apos;action corrective (Qualité &gt; CQ basé sur les patients)</translation>
    </message>
</context>
<context>
    <name>UMonthlySummary</name>
    <message>
        <source>Month</source>
        <translation>Mois</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Moyenne</translation>
    </message>
    <message>
        <source>SD</source>
        <translation>ET</translation>
    </message>
    <message>
        <source>CV %</source>
        <translation>CV %</translation>
    </message>
    <message>
        <source>Bias %</source>
        <translation>Biais %</translation>
    </message>
    <message>
        <source>Sigma</source>
        <translation>Sigma</translation>
    </message>
    <message>
        <source>Warnings</source>
        <translation>Alertes</translation>
    </message>
    <message>
        <source>Rejects</source>
        <translation>Rejets</translation>
    </message>
    <message>
        <source>Discarded</source>
        <translation>Écarté</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Remarques</translation>
    </message>
    <message>
        <source>Quality goal: </source>
        <translation>Objectif de qualité : </translation>
    </message>
    <message>
        <source>no TEa</source>
        <translation>pas d&apos;ETa</translation>
    </message>
    <message>
        <source>TEa </source>
        <translation>ETa </translation>
    </message>
    <message>
        <source>; target %1: %2</source>
        <translation>; valeur cible %1 : %2</translation>
    </message>
    <message>
        <source>none</source>
        <translation>aucun</translation>
    </message>
    <message>
        <source>Monthly summary of %1</source>
        <translation>Synthèse mensuelle de %1</translation>
    </message>
    <message>
        <source>Months %1</source>
        <translation>Mois %1</translation>
    </message>
    <message>
        <source>CV % = 100 SD / |mean|; bias % = 100 (mean - target) / |target|; Sigma = (TEa % - |bias %|) / CV %; * no target: bias taken as 0</source>
        <translation>CV % = 100 ET / |moyenne| ; biais % = 100 (moyenne - cible) / |cible| ; Sigma = (ETa % - |biais %|) / CV % ; * pas de cible : biais pris égal à 0</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 à %2</translation>
    </message>
    <message>
        <source>; bias from %1</source>
        <translation>; source du biais : %1</translation>
    </message>
</context>
<context>
    <name>UPrintJob</name>
    <message>
        <source>No file was named for the PDF printout.</source>
        <translation>Aucun fichier n&apos;a été indiqué pour l&apos;impression en PDF.</translation>
    </message>
    <message>
        <source>the print system gave no reason</source>
        <translation>le système d&apos;impression n&apos;a donné aucune raison</translation>
    </message>
    <message>
        <source>no page</source>
        <translation>aucune page</translation>
    </message>
    <message>
        <source>pages %1</source>
        <translation>pages %1</translation>
    </message>
    <message>
        <source>page %1</source>
        <translation>page %1</translation>
    </message>
    <message>
        <source>pages %1 to %2</source>
        <translation>pages %1 à %2</translation>
    </message>
    <message>
        <source>The printout was not saved.<byte value="xd"/></source>
        <translation>L&apos;impression n&apos;a pas été enregistrée.<byte value="xd"/></translation>
    </message>
    <message>
        <source>The printer %1 did not take the printout: %2<byte value="xd"/>Nothing was printed. Choose another printer, or save the printout as PDF.</source>
        <translation>L&apos;imprimante %1 n&apos;a pas accepté l&apos;impression : %2<byte value="xd"/>Rien n&apos;a été imprimé. Choisissez une autre imprimante, ou enregistrez l&apos;impression en PDF.</translation>
    </message>
    <message>
        <source>Save the printout as PDF</source>
        <translation>Enregistrer l&apos;impression en PDF</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>Fichiers PDF (*.pdf)</translation>
    </message>
    <message>
        <source>The printout has %1 page: %2 is not in it. Nothing was printed.</source>
        <translation>L&apos;impression compte %1 page : %2 n&apos;en fait pas partie. Rien n&apos;a été imprimé.</translation>
    </message>
    <message>
        <source>The printout has %1 page: %2 are not in it. Nothing was printed.</source>
        <translation>L&apos;impression compte %1 page : %2 n&apos;en font pas partie. Rien n&apos;a été imprimé.</translation>
    </message>
    <message>
        <source>The printout has %1 pages: %2 is not in it. Nothing was printed.</source>
        <translation>L&apos;impression compte %1 pages : %2 n&apos;en fait pas partie. Rien n&apos;a été imprimé.</translation>
    </message>
    <message>
        <source>The printout has %1 pages: %2 are not in it. Nothing was printed.</source>
        <translation>L&apos;impression compte %1 pages : %2 n&apos;en font pas partie. Rien n&apos;a été imprimé.</translation>
    </message>
</context>
<context>
    <name>UPrnData</name>
    <message>
        <source> (lot %1)</source>
        <translation> (lot %1)</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Heure</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Opérateur</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Commentaire</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>Statistiques</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Moyenne</translation>
    </message>
    <message>
        <source>QC data for %1</source>
        <translation>Données de CQ de %1</translation>
    </message>
</context>
<context>
    <name>UPrnReview</name>
    <message>
        <source>Reviewed by %1 on %2 (%3 to %4)</source>
        <translation>Revu par %1 le %2 (du %3 au %4)</translation>
    </message>
    <message>
        <source>Reviewed by ______________________________    on ____________________</source>
        <translation>Revu par ______________________________    le ____________________</translation>
    </message>
    <message>
        <source>Locked limits, %1 to %2</source>
        <translation>Limites verrouillées, du %1 au %2</translation>
    </message>
    <message>
        <source>Locked limits</source>
        <translation>Limites verrouillées</translation>
    </message>
    <message>
        <source>Fixed limits, typed in</source>
        <translation>Limites fixes, saisies</translation>
    </message>
    <message>
        <source>Mobile limits</source>
        <translation>Limites mobiles</translation>
    </message>
    <message>
        <source>Mobile limits, %1 to %2</source>
        <translation>Limites mobiles, du %1 au %2</translation>
    </message>
</context>
<context>
    <name>UPrnTable</name>
    <message>
        <source>  Archive document - Keep it  </source>
        <translation>  Document d&apos;archive - À conserver  </translation>
    </message>
    <message>
        <source>- Page %1/%2 - %3 - Printed on %4 -</source>
        <translation>- Page %1/%2 - %3 - Imprimé le %4 -</translation>
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
        <translation>Niveau %1</translation>
    </message>
    <message>
        <source>Power function of the rules</source>
        <translation>Fonction de puissance des règles</translation>
    </message>
    <message>
        <source>Systematic error (SD)</source>
        <translation>Erreur systématique (ET)</translation>
    </message>
    <message>
        <source>Probability of rejection</source>
        <translation>Probabilité de rejet</translation>
    </message>
    <message>
        <source>Program&apos;s rules</source>
        <translation>Règles du programme</translation>
    </message>
    <message>
        <source>1:3s alone</source>
        <translation>1:3s seule</translation>
    </message>
    <message>
        <source>1:2s alone</source>
        <translation>1:2s seule</translation>
    </message>
    <message>
        <source>No level is judged by the rules</source>
        <translation>Aucun niveau n&apos;est jugé par les règles</translation>
    </message>
    <message>
        <source> (% of TEa)</source>
        <translation> (% de l&apos;ETa)</translation>
    </message>
    <message>
        <source>Method decision chart</source>
        <translation>Diagramme de décision de méthode</translation>
    </message>
    <message>
        <source>|Bias|</source>
        <translation>|Biais|</translation>
    </message>
    <message>
        <source>Sigma %1</source>
        <translation>Sigma %1</translation>
    </message>
    <message>
        <source>No level with a Sigma</source>
        <translation>Aucun niveau avec un Sigma</translation>
    </message>
    <message>
        <source> (bias?)</source>
        <translation> (biais ?)</translation>
    </message>
    <message>
        <source>z-scores of all levels: (value - mean) / SD</source>
        <translation>z-scores de tous les niveaux : (valeur - moyenne) / ET</translation>
    </message>
    <message>
        <source>z (SD)</source>
        <translation>z (ET)</translation>
    </message>
    <message>
        <source>No point in the period</source>
        <translation>Aucun point dans la période</translation>
    </message>
    <message>
        <source>Youden plot</source>
        <translation>Diagramme de Youden</translation>
    </message>
    <message>
        <source>z of </source>
        <translation>z de </translation>
    </message>
    <message>
        <source>No run with values of both levels</source>
        <translation>Aucune série avec des valeurs des deux niveaux</translation>
    </message>
    <message>
        <source> off scale: CV %1, |bias| %2</source>
        <translation> hors échelle : CV %1, |biais| %2</translation>
    </message>
    <message>
        <source>CV</source>
        <translation>CV</translation>
    </message>
    <message>
        <source>Maximum run size, N=%1</source>
        <translation>Taille maximale de série, N=%1</translation>
    </message>
    <message>
        <source>Maximum run size</source>
        <translation>Taille maximale de série</translation>
    </message>
    <message>
        <source>Sigma</source>
        <translation>Sigma</translation>
    </message>
    <message>
        <source>Patients (log)</source>
        <translation>Patients (log)</translation>
    </message>
    <message>
        <source> (in force)</source>
        <translation> (en vigueur)</translation>
    </message>
    <message>
        <source>No rule set to plan</source>
        <translation>Aucun jeu de règles à planifier</translation>
    </message>
    <message>
        <source>moving average</source>
        <translation>moyenne mobile</translation>
    </message>
    <message>
        <source>moving median</source>
        <translation>médiane mobile</translation>
    </message>
    <message>
        <source>EWMA, lambda %1</source>
        <translation>EWMA, lambda %1</translation>
    </message>
    <message>
        <source>Patient-based QC: %1, N %2</source>
        <translation>CQ basé sur les patients : %1, N %2</translation>
    </message>
    <message>
        <source>Statistic</source>
        <translation>Statistique</translation>
    </message>
    <message>
        <source>No statistic yet</source>
        <translation>Pas encore de statistique</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Cible</translation>
    </message>
    <message>
        <source>Control limits</source>
        <translation>Limites de contrôle</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarme</translation>
    </message>
</context>
<context>
    <name>URefCommon</name>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
</context>
<context>
    <name>URefPrintout</name>
    <message>
        <source>Begin</source>
        <translation>Début</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Fin</translation>
    </message>
    <message>
        <source>Control material</source>
        <translation>Contrôle</translation>
    </message>
    <message>
        <source>Lot</source>
        <translation>Lot</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Moyenne</translation>
    </message>
    <message>
        <source>CV</source>
        <translation>CV</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Heure</translation>
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
        <translation>Résultat</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Opérateur</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Commentaire</translation>
    </message>
</context>
<context>
    <name>URisks</name>
    <message>
        <source>Unlock with the password</source>
        <translation>Déverrouiller avec le mot de passe</translation>
    </message>
</context>
<context>
    <name>UShowArchive</name>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Heure</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Résultat</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Opérateur</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Commentaire</translation>
    </message>
</context>
<context>
    <name>UShowJournal</name>
    <message>
        <source>(all)</source>
        <translation>(tous)</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>N°</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Heure</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Opérateur</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Analyte</source>
        <translation>Analyte</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <source>Point</source>
        <translation>Point</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>Avant</translation>
    </message>
    <message>
        <source>After</source>
        <translation>Après</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Raison</translation>
    </message>
    <message>
        <source>Journal of changes</source>
        <translation>Journal des modifications</translation>
    </message>
    <message>
        <source>Reading the journal...</source>
        <translation>Lecture du journal...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Checking the journal...</source>
        <translation>Vérification du journal...</translation>
    </message>
</context>
<context>
    <name>UShowLimits</name>
    <message>
        <source>Control materials</source>
        <translation>Contrôles</translation>
    </message>
    <message>
        <source>Lots</source>
        <translation>Lots</translation>
    </message>
    <message>
        <source>QC mode</source>
        <translation>Mode de CQ</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Valeur cible</translation>
    </message>
    <message>
        <source>Warning limits</source>
        <translation>Limites d&apos;alerte</translation>
    </message>
    <message>
        <source>Action limits</source>
        <translation>Limites d&apos;action</translation>
    </message>
    <message>
        <source>Dates ref interval</source>
        <translation>Dates de l&apos;intervalle de référence</translation>
    </message>
    <message>
        <source># points in ref interval</source>
        <translation>Nombre de points de l&apos;intervalle de référence</translation>
    </message>
    <message>
        <source>Reference CV</source>
        <translation>CV de référence</translation>
    </message>
    <message>
        <source># degrees of freedom</source>
        <translation>Nombre de degrés de liberté</translation>
    </message>
    <message>
        <source>on</source>
        <translation>activé</translation>
    </message>
    <message>
        <source>off</source>
        <translation>désactivé</translation>
    </message>
    <message>
        <source>Risks: alert limits %1, action limits %2</source>
        <translation>Risques : limites d&apos;alerte %1, limites d&apos;action %2</translation>
    </message>
    <message>
        <source>Common CV: %1    Westgard multirules: %2</source>
        <translation>CV commun : %1    Règles de Westgard : %2</translation>
    </message>
    <message>
        <source>QC limits for %1</source>
        <translation>Limites de CQ de %1</translation>
    </message>
</context>
<context>
    <name>USigmaView</name>
    <message>
        <source>Period</source>
        <translation>Période</translation>
    </message>
    <message>
        <source>N (values counted)</source>
        <translation>N (valeurs comptées)</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Moyenne</translation>
    </message>
    <message>
        <source>SD</source>
        <translation>ET</translation>
    </message>
    <message>
        <source>CV</source>
        <translation>CV</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Valeur cible</translation>
    </message>
    <message>
        <source>Bias</source>
        <translation>Biais</translation>
    </message>
    <message>
        <source>TEa</source>
        <translation>ETa</translation>
    </message>
    <message>
        <source>Sigma</source>
        <translation>Sigma</translation>
    </message>
    <message>
        <source>Advised rules</source>
        <translation>Règles conseillées</translation>
    </message>
    <message>
        <source>Advised run plan</source>
        <translation>Plan de série conseillé</translation>
    </message>
    <message>
        <source>Critical SE (SD)</source>
        <translation>ES critique (ET)</translation>
    </message>
    <message>
        <source>Ped, program&apos;s rules</source>
        <translation>Ped, règles du programme</translation>
    </message>
    <message>
        <source>Pfr, program&apos;s rules</source>
        <translation>Pfr, règles du programme</translation>
    </message>
    <message>
        <source>Ped / Pfr, 1:3s alone</source>
        <translation>Ped / Pfr, 1:3s seule</translation>
    </message>
    <message>
        <source>Ped / Pfr, 1:2s alone</source>
        <translation>Ped / Pfr, 1:2s seule</translation>
    </message>
    <message>
        <source> or </source>
        <translation> ou </translation>
    </message>
    <message>
        <source>Level %1</source>
        <translation>Niveau %1</translation>
    </message>
    <message>
        <source>no point</source>
        <translation>aucun point</translation>
    </message>
    <message>
        <source>none (bias not known)</source>
        <translation>aucune (biais inconnu)</translation>
    </message>
    <message>
        <source>No quality goal for %1: set one in Parameters &gt; Analytes, Quality goals.</source>
        <translation>Aucun objectif de qualité pour %1 : définissez-en un dans Paramètres &gt; Analytes, Objectifs de qualité.</translation>
    </message>
    <message>
        <source>Quality goal of %1: TEa </source>
        <translation>Objectif de qualité de %1 : ETa </translation>
    </message>
    <message>
        <source>not set</source>
        <translation>non définie</translation>
    </message>
    <message>
        <source>; target %1: %2</source>
        <translation>; valeur cible %1 : %2</translation>
    </message>
    <message>
        <source>none</source>
        <translation>aucun</translation>
    </message>
    <message>
        <source>: no advice, Sigma not available (%1).
</source>
        <translation> : aucun conseil, Sigma indisponible (%1).
</translation>
    </message>
    <message>
        <source>The program&apos;s rules detect the critical error in fewer than 90 % of the runs.
</source>
        <translation>Les règles du programme détectent l&apos;erreur critique dans moins de 90 % des séries.
</translation>
    </message>
    <message>
        <source>* No target: the bias is not known; Sigma is computed with a bias of 0.
</source>
        <translation>* Pas de valeur cible : le biais est inconnu ; Sigma est calculé avec un biais de 0.
</translation>
    </message>
    <message>
        <source>Ped and Pfr of the program&apos;s rules: %1 simulated runs (fixed seed) at the rule set of %2.</source>
        <translation>Ped et Pfr des règles du programme : %1 séries simulées (graine fixe) avec le jeu de règles de %2.</translation>
    </message>
    <message>
        <source>Period: each level&apos;s reference points (locked interval, else the points in view)</source>
        <translation>Période : les points de référence de chaque niveau (intervalle verrouillé, sinon les points affichés)</translation>
    </message>
    <message>
        <source>Period: %1 to %2</source>
        <translation>Période : du %1 au %2</translation>
    </message>
    <message>
        <source>Quality goals and Sigma for %1</source>
        <translation>Objectifs de qualité et Sigma de %1</translation>
    </message>
    <message>
        <source>Formulas:</source>
        <translation>Formules :</translation>
    </message>
    <message>
        <source>- Quality goals and Sigma for %1 - Printed on %2 -</source>
        <translation>- Objectifs de qualité et Sigma de %1 - Imprimé le %2 -</translation>
    </message>
    <message>
        <source>n/a: %1</source>
        <translation>n.d. : %1</translation>
    </message>
    <message>
        <source> (common CV)</source>
        <translation> (CV commun)</translation>
    </message>
    <message>
        <source>none: the goal is not met</source>
        <translation>aucune : l&apos;objectif n&apos;est pas atteint</translation>
    </message>
    <message>
        <source>, bias %1 % for a TEa of %2 %</source>
        <translation>, biais %1 % pour une TEa de %2 %</translation>
    </message>
    <message>
        <source>: the method does not meet the quality goal, and no QC rule can detect its errors in time. Improve the method (its bias or imprecision) before choosing rules.
</source>
        <translation> : la méthode n&apos;atteint pas l&apos;objectif de qualité, et aucune règle de CQ ne peut détecter ses erreurs à temps. Améliorez la méthode (son biais ou son imprécision) avant de choisir des règles.
</translation>
    </message>
    <message>
        <source>* No peer or EQA data: the bias is not known; Sigma is computed with a bias of 0.
</source>
        <translation>* Pas de données de pairs ni d&apos;EEQ : le biais est inconnu ; Sigma est calculé avec un biais de 0.
</translation>
    </message>
    <message>
        <source>Bias from %1.
</source>
        <translation>Source du biais : %1.
</translation>
    </message>
    <message>
        <source>Rules in force</source>
        <translation>Règles en vigueur</translation>
    </message>
    <message>
        <source>Ped / Pfr, rules in force</source>
        <translation>Ped / Pfr, règles en vigueur</translation>
    </message>
    <message>
        <source>MaxE(Nuf) / max run size</source>
        <translation>MaxE(Nuf) / taille max. de série</translation>
    </message>
    <message>
        <source>no limit</source>
        <translation>sans limite</translation>
    </message>
    <message>
        <source>Rules in force %1, N=%2: Ped, Pfr and run sizes exact.</source>
        <translation>Règles en vigueur %1, N=%2 : Ped, Pfr et tailles de série exactes.</translation>
    </message>
    <message>
        <source>Rules in force %1, N=%2: Ped, Pfr and run sizes from %3 simulated runs (fixed seed), standard error of Ped and Pfr at most %4.</source>
        <translation>Règles en vigueur %1, N=%2 : Ped, Pfr et tailles de série issus de %3 séries simulées (graine fixe), erreur type de Ped et Pfr au plus %4.</translation>
    </message>
    <message>
        <source>Maximum run size: the most patient samples between two QC events (one event per run, bracketing it) keeping MaxE(Nuf), the expected unacceptable patient results reported at the worst systematic error, at 1 or below (Parvin&apos;s model).</source>
        <translation>Taille maximale de série : le plus grand nombre d&apos;échantillons de patients entre deux événements de CQ (un événement par série, qui l&apos;encadre) gardant MaxE(Nuf), le nombre attendu de résultats patients inacceptables rendus à l&apos;erreur systématique la plus défavorable, à 1 ou moins (modèle de Parvin).</translation>
    </message>
</context>
<context>
    <name>UValidCQ</name>
    <message>
        <source>Retrieve QC</source>
        <translation>Rétablir CQ</translation>
    </message>
    <message>
        <source>Reject QC</source>
        <translation>Rejeter CQ</translation>
    </message>
</context>
<context>
    <name>UZScores</name>
    <message>
        <source>Normalised charts of %1</source>
        <translation>Cartes normalisées de %1</translation>
    </message>
    <message>
        <source>Level %1: </source>
        <translation>Niveau %1 : </translation>
    </message>
    <message>
        <source>no z-score, %1</source>
        <translation>pas de z-score, %1</translation>
    </message>
    <message>
        <source>mean %1, SD %2 over %3 values</source>
        <translation>moyenne %1, ET %2 sur %3 valeurs</translation>
    </message>
    <message>
        <source>z = (value - mean) / SD; mean and SD of each level&apos;s reference points:</source>
        <translation>z = (valeur - moyenne) / ET ; moyenne et ET des points de référence de chaque niveau :</translation>
    </message>
    <message>
        <source>- Normalised charts of %1 - Printed on %2 -</source>
        <translation>- Cartes normalisées de %1 - Imprimé le %2 -</translation>
    </message>
    <message>
        <source>A Youden plot needs two levels</source>
        <translation>Un diagramme de Youden nécessite deux niveaux</translation>
    </message>
    <message>
        <source>mean %1, SD %2 of the common CV over %3 values</source>
        <translation>moyenne %1, ET %2 du CV commun sur %3 valeurs</translation>
    </message>
</context>
<context>
    <name>TTextGuard</name>
    <message>
        <source>The character %1 cannot be stored: Varnholt&apos;s files hold Windows-1252 text.</source>
        <translation>Le caractère %1 ne peut pas être enregistré : les fichiers de Varnholt contiennent du texte Windows-1252.</translation>
    </message>
</context>
<context>
    <name>TDatePicker</name>
    <message>
        <source>%1 is before %2, the earliest date that can be entered</source>
        <translation>%1 est antérieur au %2, la première date qui peut être saisie</translation>
    </message>
    <message>
        <source>%1 is not a valid date</source>
        <translation>%1 n&apos;est pas une date valide</translation>
    </message>
</context>
<context>
    <name>UPeerView</name>
    <message>
        <source>good</source>
        <translation>bon</translation>
    </message>
    <message>
        <source>watch</source>
        <translation>à surveiller</translation>
    </message>
    <message>
        <source>act</source>
        <translation>à corriger</translation>
    </message>
    <message>
        <source>Level %1</source>
        <translation>Niveau %1</translation>
    </message>
</context>
<context>
    <name>TWinPeer</name>
    <message>
        <source>&amp;Month</source>
        <translation>&amp;Mois</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Mois</translation>
    </message>
    <message>
        <source>Laboratory and peer figures per level</source>
        <translation>Chiffres du laboratoire et des pairs par niveau</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Matériel</translation>
    </message>
    <message>
        <source>Lot</source>
        <translation>Lot</translation>
    </message>
    <message>
        <source>Lab N</source>
        <translation>N labo</translation>
    </message>
    <message>
        <source>Lab mean</source>
        <translation>Moyenne labo</translation>
    </message>
    <message>
        <source>Lab SD</source>
        <translation>ET labo</translation>
    </message>
    <message>
        <source>Peer mean</source>
        <translation>Moyenne pairs</translation>
    </message>
    <message>
        <source>Peer SD</source>
        <translation>ET pairs</translation>
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
        <translation>Zone</translation>
    </message>
    <message>
        <source>Peer chart</source>
        <translation>Graphique des pairs</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Aucun analyte.</translation>
    </message>
    <message>
        <source>Peer comparison of %1</source>
        <translation>Comparaison avec les pairs de %1</translation>
    </message>
    <message>
        <source>No peer statistics for %1: import them with File &gt; Import peer statistics.</source>
        <translation>Aucune statistique de pairs pour %1 : importez-les avec Fichier &gt; Importer les statistiques de pairs.</translation>
    </message>
    <message>
        <source>Level %1: no value of %2 lot %3 in the month</source>
        <translation>Niveau %1 : aucune valeur de %2 lot %3 dans le mois</translation>
    </message>
    <message>
        <source>SDI = (lab mean - peer mean) / peer SD: good up to 1, watch up to 2, act beyond; CVR = lab CV / peer CV.</source>
        <translation>SDI = (moyenne labo - moyenne pairs) / ET pairs : bon jusqu&apos;à 1, à surveiller jusqu&apos;à 2, à corriger au-delà ; CVR = CV labo / CV pairs.</translation>
    </message>
</context>
<context>
    <name>TWinMu</name>
    <message>
        <source>Analyte</source>
        <translation>Analyte</translation>
    </message>
    <message>
        <source>&amp;Analyte</source>
        <translation>A&amp;nalyte</translation>
    </message>
    <message>
        <source>First date</source>
        <translation>Première date</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Du</translation>
    </message>
    <message>
        <source>Last date</source>
        <translation>Dernière date</translation>
    </message>
    <message>
        <source>&amp;to</source>
        <translation>&amp;au</translation>
    </message>
    <message>
        <source>Coverage factor k</source>
        <translation>Facteur d&apos;élargissement k</translation>
    </message>
    <message>
        <source>&amp;k</source>
        <translation>&amp;k</translation>
    </message>
    <message>
        <source>Source of the bias</source>
        <translation>Source du biais</translation>
    </message>
    <message>
        <source>&amp;Bias source</source>
        <translation>Source du &amp;biais</translation>
    </message>
    <message>
        <source>Stated uncertainty of the target in percent</source>
        <translation>Incertitude déclarée de la cible en pour cent</translation>
    </message>
    <message>
        <source>Target &amp;u %</source>
        <translation>u de la &amp;cible %</translation>
    </message>
    <message>
        <source>Maximum allowable U in percent</source>
        <translation>U maximal admissible en pour cent</translation>
    </message>
    <message>
        <source>&amp;Max. U %</source>
        <translation>U &amp;max. %</translation>
    </message>
    <message>
        <source>Within-subject biological variation CVI in percent</source>
        <translation>Variation biologique intra-individuelle CVI en pour cent</translation>
    </message>
    <message>
        <source>or &amp;CVI %</source>
        <translation>ou C&amp;VI %</translation>
    </message>
    <message>
        <source>Measurement uncertainty per level</source>
        <translation>Incertitude de mesure par niveau</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <source>Lots (n, CV)</source>
        <translation>Lots (n, CV)</translation>
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
        <translation>u(biais) %</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Source</translation>
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
        <translation>U max. %</translation>
    </message>
    <message>
        <source>Met</source>
        <translation>Atteint</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Imprimer...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Aucun analyte.</translation>
    </message>
    <message>
        <source>%1 must be a number not below zero</source>
        <translation>%1 doit être un nombre non inférieur à zéro</translation>
    </message>
    <message>
        <source>%1 must be a number above zero</source>
        <translation>%1 doit être un nombre supérieur à zéro</translation>
    </message>
    <message>
        <source>The maximum U</source>
        <translation>Le U maximal</translation>
    </message>
    <message>
        <source>The CVI</source>
        <translation>Le CVI</translation>
    </message>
    <message>
        <source>Give the maximum U or the CVI, not both</source>
        <translation>Indiquez le U maximal ou le CVI, pas les deux</translation>
    </message>
    <message>
        <source>The target&apos;s u</source>
        <translation>L&apos;u de la cible</translation>
    </message>
    <message>
        <source>Measurement uncertainty of %1</source>
        <translation>Incertitude de mesure de %1</translation>
    </message>
    <message>
        <source>Level %1: no uncertainty: %2</source>
        <translation>Niveau %1 : pas d&apos;incertitude : %2</translation>
    </message>
    <message>
        <source>Level %1: %2</source>
        <translation>Niveau %1 : %2</translation>
    </message>
</context>
<context>
    <name>TUncertaintyTexts</name>
    <message>
        <source>%1 %2: n %3, CV %4 %</source>
        <translation>%1 %2 : n %3, CV %4 %</translation>
    </message>
    <message>
        <source>%1 %2: n %3</source>
        <translation>%1 %2 : n %3</translation>
    </message>
    <message>
        <source>(left out)</source>
        <translation>(écarté)</translation>
    </message>
    <message>
        <source>target</source>
        <translation>cible</translation>
    </message>
    <message>
        <source>peer data</source>
        <translation>données des pairs</translation>
    </message>
    <message>
        <source>EQA results</source>
        <translation>résultats d&apos;EEQ</translation>
    </message>
    <message>
        <source>none</source>
        <translation>aucune</translation>
    </message>
    <message>
        <source>Source of the bias: the target&apos;s stated standard uncertainty, %1 %</source>
        <translation>Source du biais : l&apos;incertitude-type déclarée de la cible, %1 %</translation>
    </message>
    <message>
        <source>Source of the bias: the EQA results of the period (RMS of the relative biases with the uncertainty of the assigned values)</source>
        <translation>Source du biais : les résultats d&apos;EEQ de la période (moyenne quadratique des biais relatifs avec l&apos;incertitude des valeurs assignées)</translation>
    </message>
    <message>
        <source>Source of the bias: the peer data of the period</source>
        <translation>Source du biais : les données des pairs de la période</translation>
    </message>
    <message>
        <source>Source of the bias: none, u(bias) = 0</source>
        <translation>Source du biais : aucune, u(biais) = 0</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>oui</translation>
    </message>
    <message>
        <source>no</source>
        <translation>non</translation>
    </message>
    <message>
        <source>u(Rw) = sqrt(sum (n_i - 1) CV_i^2 / sum (n_i - 1)) over the lots; u_c = sqrt(u(Rw)^2 + u(bias)^2); U = k x u_c with k = %1</source>
        <translation>u(Rw) = sqrt(somme (n_i - 1) CV_i^2 / somme (n_i - 1)) sur les lots ; u_c = sqrt(u(Rw)^2 + u(biais)^2) ; U = k x u_c avec k = %1</translation>
    </message>
    <message>
        <source>Measurement uncertainty of %1</source>
        <translation>Incertitude de mesure de %1</translation>
    </message>
    <message>
        <source>Period: %1 to %2</source>
        <translation>Période : du %1 au %2</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <source>Lots (n, CV)</source>
        <translation>Lots (n, CV)</translation>
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
        <translation>u(biais) %</translation>
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
        <translation>U max. %</translation>
    </message>
    <message>
        <source>Met</source>
        <translation>Atteint</translation>
    </message>
    <message>
        <source>Level %1: %2</source>
        <translation>Niveau %1 : %2</translation>
    </message>
    <message>
        <source>Printed on %1</source>
        <translation>Imprimé le %1</translation>
    </message>
    <message>
        <source>Level %1: no uncertainty: %2</source>
        <translation>Niveau %1 : pas d&apos;incertitude : %2</translation>
    </message>
</context>
<context>
    <name>TWinPatientQc</name>
    <message>
        <source>Sim&amp;ulate...</source>
        <translation>Sim&amp;uler...</translation>
    </message>
    <message>
        <source>Each procedure tried on the stream with biases introduced: false alarms and patients affected before detection</source>
        <translation>Chaque procédure essayée sur le flux avec des biais introduits : fausses alarmes et patients touchés avant la détection</translation>
    </message>
    <message>
        <source>Procedure</source>
        <translation>Procédure</translation>
    </message>
    <message>
        <source>Moving average</source>
        <translation>Moyenne mobile</translation>
    </message>
    <message>
        <source>Moving median</source>
        <translation>Médiane mobile</translation>
    </message>
    <message>
        <source>EWMA</source>
        <translation>EWMA</translation>
    </message>
    <message>
        <source>&amp;Procedure</source>
        <translation>&amp;Procédure</translation>
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
        <translation>Troncature basse</translation>
    </message>
    <message>
        <source>&amp;Truncation</source>
        <translation>&amp;Troncature</translation>
    </message>
    <message>
        <source>Truncation high</source>
        <translation>Troncature haute</translation>
    </message>
    <message>
        <source>Values outside the truncation limits</source>
        <translation>Valeurs hors des limites de troncature</translation>
    </message>
    <message>
        <source>left out</source>
        <translation>écartées</translation>
    </message>
    <message>
        <source>set to the nearer limit</source>
        <translation>ramenées à la limite la plus proche</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Cible</translation>
    </message>
    <message>
        <source>T&amp;arget</source>
        <translation>C&amp;ible</translation>
    </message>
    <message>
        <source>Lower control limit</source>
        <translation>Limite de contrôle basse</translation>
    </message>
    <message>
        <source>L&amp;imits</source>
        <translation>Li&amp;mites</translation>
    </message>
    <message>
        <source>Upper control limit</source>
        <translation>Limite de contrôle haute</translation>
    </message>
    <message>
        <source>P&amp;ropose</source>
        <translation>P&amp;roposer</translation>
    </message>
    <message>
        <source>Target, limits and truncation from the stream&apos;s own history</source>
        <translation>Cible, limites et troncature tirées de l&apos;historique de la série</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>Patient-based QC chart</source>
        <translation>Graphique du CQ basé sur les patients</translation>
    </message>
    <message>
        <source>Alarms</source>
        <translation>Alarmes</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarme</translation>
    </message>
    <message>
        <source>State</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Corrective action</source>
        <translation>Action corrective</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Opérateur</translation>
    </message>
    <message>
        <source>Acknowledged (UTC)</source>
        <translation>Acquittée (UTC)</translation>
    </message>
    <message>
        <source>Alar&amp;ms</source>
        <translation>&amp;Alarmes</translation>
    </message>
    <message>
        <source>&amp;Operator</source>
        <translation>&amp;Opérateur</translation>
    </message>
    <message>
        <source>Ac&amp;knowledge...</source>
        <translation>Ac&amp;quitter...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Aucun analyte.</translation>
    </message>
    <message>
        <source>Patient-based QC of %1</source>
        <translation>CQ basé sur les patients de %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>Alarm of %1 at %2: what was done?</source>
        <translation>Alarme de %1 à %2 : qu&apos;a-t-on fait ?</translation>
    </message>
    <message>
        <source>Results: %1; left out by rule: %2 not numeric, %3 censored, %4 flagged</source>
        <translation>Résultats : %1 ; écartés par règle : %2 non numériques, %3 censurés, %4 signalés</translation>
    </message>
    <message>
        <source>; outside the truncation limits: %1</source>
        <translation> ; hors des limites de troncature : %1</translation>
    </message>
    <message>
        <source>No procedure is kept for %1: set one (Propose fills it from the stream) and save it.</source>
        <translation>Aucune procédure n&apos;est conservée pour %1 : réglez-en une (Proposer la remplit à partir de la série) et enregistrez-la.</translation>
    </message>
    <message>
        <source>acknowledged</source>
        <translation>acquittée</translation>
    </message>
    <message>
        <source>open</source>
        <translation>ouverte</translation>
    </message>
</context>
<context>
    <name>TWinEqa</name>
    <message>
        <source>EQA results with their z-scores</source>
        <translation>Résultats d&apos;EEQ avec leurs z-scores</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Scheme</source>
        <translation>Programme</translation>
    </message>
    <message>
        <source>Distribution</source>
        <translation>Envoi</translation>
    </message>
    <message>
        <source>Sample</source>
        <translation>Échantillon</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Résultat</translation>
    </message>
    <message>
        <source>Assigned</source>
        <translation>Valeur assignée</translation>
    </message>
    <message>
        <source>SD</source>
        <translation>ET</translation>
    </message>
    <message>
        <source>Participants</source>
        <translation>Participants</translation>
    </message>
    <message>
        <source>z</source>
        <translation>z</translation>
    </message>
    <message>
        <source>Band</source>
        <translation>Classe</translation>
    </message>
    <message>
        <source>Bias %</source>
        <translation>Biais %</translation>
    </message>
    <message>
        <source>Corrective action</source>
        <translation>Action corrective</translation>
    </message>
    <message>
        <source>Chart of the z-scores</source>
        <translation>Graphique des z-scores</translation>
    </message>
    <message>
        <source>&amp;Add...</source>
        <translation>&amp;Ajouter...</translation>
    </message>
    <message>
        <source>&amp;Import...</source>
        <translation>&amp;Importer...</translation>
    </message>
    <message>
        <source>&amp;Corrective action...</source>
        <translation>A&amp;ction corrective...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>No analyte.</source>
        <translation>Aucun analyte.</translation>
    </message>
    <message>
        <source>External quality assessment of %1</source>
        <translation>Évaluation externe de la qualité de %1</translation>
    </message>
    <message>
        <source>none recorded</source>
        <translation>aucune enregistrée</translation>
    </message>
    <message>
        <source>No EQA results for %1: add them as the scheme reports them, or import a file.</source>
        <translation>Aucun résultat d&apos;EEQ pour %1 : ajoutez-les tels que le programme les communique, ou importez un fichier.</translation>
    </message>
    <message>
        <source>Unacceptable results without a corrective action: %1. Select one and choose Corrective action.</source>
        <translation>Résultats inacceptables sans action corrective : %1. Sélectionnez-en un et choisissez Action corrective.</translation>
    </message>
    <message>
        <source>z = (result - assigned) / SD: acceptable up to 2, questionable below 3, unacceptable from 3; no z-score with fewer than 5 participants.</source>
        <translation>z = (résultat - valeur assignée) / ET : acceptable jusqu&apos;à 2, douteux en dessous de 3, inacceptable à partir de 3 ; pas de z-score avec moins de 5 participants.</translation>
    </message>
    <message>
        <source>%1 %2: the EQA result is unacceptable (z = %3). What was done?</source>
        <translation>%1 %2 : le résultat d&apos;EEQ est inacceptable (z = %3). Qu&apos;a-t-on fait ?</translation>
    </message>
    <message>
        <source>Import EQA results</source>
        <translation>Importer des résultats d&apos;EEQ</translation>
    </message>
    <message>
        <source>EQA files (*.csv *.txt);;All files (*)</source>
        <translation>Fichiers d&apos;EEQ (*.csv *.txt);;Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>%1 EQA result imported</source>
        <translation>%1 résultat d&apos;EEQ importé</translation>
    </message>
    <message>
        <source>%1 EQA results imported</source>
        <translation>%1 résultats d&apos;EEQ importés</translation>
    </message>
</context>
<context>
    <name>TWinEqaAdd</name>
    <message>
        <source>Add an EQA result</source>
        <translation>Ajouter un résultat d&apos;EEQ</translation>
    </message>
    <message>
        <source>&amp;Scheme</source>
        <translation>&amp;Programme</translation>
    </message>
    <message>
        <source>&amp;Distribution</source>
        <translation>&amp;Envoi</translation>
    </message>
    <message>
        <source>Sa&amp;mple</source>
        <translation>É&amp;chantillon</translation>
    </message>
    <message>
        <source>Da&amp;te (yyyy-mm-dd)</source>
        <translation>Da&amp;te (aaaa-mm-jj)</translation>
    </message>
    <message>
        <source>&amp;Result</source>
        <translation>&amp;Résultat</translation>
    </message>
    <message>
        <source>&amp;Assigned value</source>
        <translation>&amp;Valeur assignée</translation>
    </message>
    <message>
        <source>Evaluation S&amp;D</source>
        <translation>E&amp;T d&apos;évaluation</translation>
    </message>
    <message>
        <source>&amp;Participants</source>
        <translation>Partic&amp;ipants</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>UEqaView</name>
    <message>
        <source>acceptable</source>
        <translation>acceptable</translation>
    </message>
    <message>
        <source>questionable</source>
        <translation>douteux</translation>
    </message>
    <message>
        <source>unacceptable</source>
        <translation>inacceptable</translation>
    </message>
</context>
<context>
    <name>TWinPqcTuning</name>
    <message>
        <source>Biases</source>
        <translation>Biais</translation>
    </message>
    <message>
        <source>&amp;Biases</source>
        <translation>&amp;Biais</translation>
    </message>
    <message>
        <source>Bias unit</source>
        <translation>Unité du biais</translation>
    </message>
    <message>
        <source>percent</source>
        <translation>pour cent</translation>
    </message>
    <message>
        <source>units</source>
        <translation>unités</translation>
    </message>
    <message>
        <source>Runs per line</source>
        <translation>Tirages par ligne</translation>
    </message>
    <message>
        <source>&amp;Runs</source>
        <translation>&amp;Tirages</translation>
    </message>
    <message>
        <source>Seed</source>
        <translation>Graine</translation>
    </message>
    <message>
        <source>S&amp;eed</source>
        <translation>&amp;Graine</translation>
    </message>
    <message>
        <source>&amp;Simulate</source>
        <translation>&amp;Simuler</translation>
    </message>
    <message>
        <source>Procedures under each bias</source>
        <translation>Procédures sous chaque biais</translation>
    </message>
    <message>
        <source>Procedure</source>
        <translation>Procédure</translation>
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
        <translation>Limite basse</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Limite haute</translation>
    </message>
    <message>
        <source>Bias</source>
        <translation>Biais</translation>
    </message>
    <message>
        <source>False alarms per 1000</source>
        <translation>Fausses alarmes pour 1000</translation>
    </message>
    <message>
        <source>ANPed</source>
        <translation>ANPed</translation>
    </message>
    <message>
        <source>ANPed 95th</source>
        <translation>ANPed 95e centile</translation>
    </message>
    <message>
        <source>Undetected</source>
        <translation>Non détectés</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Remarque</translation>
    </message>
    <message>
        <source>Bias detection curve</source>
        <translation>Courbe de détection du biais</translation>
    </message>
    <message>
        <source>&amp;Use these settings</source>
        <translation>&amp;Utiliser ces réglages</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Each procedure gets its limits from the stream; each bias starts at random points and runs until the first alarm. Choose Simulate.</source>
        <translation>Chaque procédure reçoit ses limites du flux ; chaque biais commence à des points tirés au hasard et dure jusqu&apos;à la première alarme. Choisissez Simuler.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>%1 runs per line, seed %2: the same stream, settings, runs and seed give the same figures. Choose a line and Use these settings; Save in the patient-based QC window keeps them.</source>
        <translation>%1 tirages par ligne, graine %2 : le même flux, les mêmes réglages, tirages et graine donnent les mêmes chiffres. Choisissez une ligne puis Utiliser ces réglages ; Enregistrer dans la fenêtre du CQ basé sur les patients les conserve.</translation>
    </message>
    <message numerus="yes">
        <source>Tuning by simulation on %n results</source>
        <translation>
            <numerusform>Réglage par simulation sur %n résultat</numerusform>
            <numerusform>Réglage par simulation sur %n résultats</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UPqcTuning</name>
    <message>
        <source>Moving median</source>
        <translation>Médiane mobile</translation>
    </message>
    <message>
        <source>EWMA</source>
        <translation>EWMA</translation>
    </message>
    <message>
        <source>Moving average</source>
        <translation>Moyenne mobile</translation>
    </message>
    <message>
        <source>bias; up: patients affected before detection (ANPed)</source>
        <translation>biais ; vers le haut : patients touchés avant la détection (ANPed)</translation>
    </message>
</context>
</TS>
