<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
    <context>
        <name>DemoDialogsPage</name>
        <message>
            <source>The confirmation will be shown again.</source>
            <translation>Die Bestätigung wird wieder angezeigt.</translation>
        </message>
        <message>
            <source>Message boxes and helpers every product of the family shares.</source>
            <translation>Meldungsfenster und Helfer, die alle Produkte der Familie gemeinsam nutzen.</translation>
        </message>
        <message>
            <source>Clear history...</source>
            <translation>Verlauf löschen...</translation>
        </message>
        <message>
            <source>Ask again</source>
            <translation>Wieder fragen</translation>
        </message>
        <message>
            <source>About support...</source>
            <translation>Über den Support...</translation>
        </message>
        <message>
            <source>Restart...</source>
            <translation>Neu starten...</translation>
        </message>
        <message>
            <source>Pick a colour...</source>
            <translation>Farbe wählen...</translation>
        </message>
        <message>
            <source>Clear history</source>
            <translation>Verlauf löschen</translation>
        </message>
        <message>
            <source>Do you want to clear the list of recent files?</source>
            <translation>Möchten Sie die Liste der zuletzt verwendeten Dateien löschen?</translation>
        </message>
        <message>
            <source>History cleared.</source>
            <translation>Verlauf gelöscht.</translation>
        </message>
        <message>
            <source>History kept.</source>
            <translation>Verlauf beibehalten.</translation>
        </message>
        <message>
            <source>Our support team answers within a day. Write to &lt;a href="mailto:support@zentar.example"&gt;support@zentar.example&lt;/a&gt;; clicking the address copies it.</source>
            <translation>Unser Support-Team antwortet innerhalb eines Tages. Schreiben Sie an &lt;a href="mailto:support@zentar.example"&gt;support@zentar.example&lt;/a&gt;; ein Klick auf die Adresse kopiert sie.</translation>
        </message>
        <message>
            <source>Got it</source>
            <translation>Verstanden</translation>
        </message>
        <message>
            <source>Informed.</source>
            <translation>Informiert.</translation>
        </message>
        <message>
            <source>Dismissed.</source>
            <translation>Verworfen.</translation>
        </message>
        <message>
            <source>Pick a colour</source>
            <translation>Farbe wählen</translation>
        </message>
        <message>
            <source>Picked %1. Custom colours are kept when the demo restarts.</source>
            <translation>%1 gewählt. Eigene Farben bleiben nach einem Neustart der Demo erhalten.</translation>
        </message>
        <message>
            <source>Graphics driver message...</source>
            <translation>Grafiktreiber-Meldung...</translation>
        </message>
    </context>
    <context>
        <name>DemoLookAndFeel</name>
        <message>
            <source>&amp;Language</source>
            <translation>&amp;Sprache</translation>
        </message>
        <message>
            <source>&amp;Theme</source>
            <translation>&amp;Design</translation>
        </message>
    </context>
    <context>
        <name>DemoWindow</name>
        <message>
            <source>Zentar Demo</source>
            <translation>Zentar Demo</translation>
        </message>
        <message>
            <source>&amp;File</source>
            <translation>&amp;Datei</translation>
        </message>
        <message>
            <source>&amp;Quit</source>
            <translation>&amp;Beenden</translation>
        </message>
        <message>
            <source>Overview</source>
            <translation>Übersicht</translation>
        </message>
        <message>
            <source>Launch type: %1</source>
            <translation>Starttyp: %1</translation>
        </message>
        <message>
            <source>Session: %1</source>
            <translation>Sitzung: %1</translation>
        </message>
        <message>
            <source>No crashed sessions in earlier runs.</source>
            <translation>Keine abgestürzten Sitzungen in früheren Läufen.</translation>
        </message>
        <message>
            <source>Crashed sessions of earlier runs:</source>
            <translation>Abgestürzte Sitzungen früherer Läufe:</translation>
        </message>
        <message>
            <source>Launch: %1</source>
            <translation>Start: %1</translation>
        </message>
        <message>
            <source>Launch: %1 | Crashed sessions: %2</source>
            <translation>Start: %1 | Abgestürzte Sitzungen: %2</translation>
        </message>
        <message>
            <source>Cause: %1</source>
            <translation>Ursache: %1</translation>
        </message>
        <message>
            <source>no report (the process was killed or the machine stopped)</source>
            <translation>kein Bericht (der Prozess wurde beendet oder der Rechner hielt an)</translation>
        </message>
        <message>
            <source>Top frames: %1</source>
            <translation>Oberste Aufrufe: %1</translation>
        </message>
        <message>
            <source>Crash now</source>
            <translation>Jetzt abstürzen</translation>
        </message>
        <message>
            <source>Throw</source>
            <translation>Ausnahme werfen</translation>
        </message>
    </context>
    <context>
        <name>QObject</name>
        <message>
            <source>Hide</source>
            <translation>Ausblenden</translation>
        </message>
        <message>
            <source>Hide Others</source>
            <translation>Andere ausblenden</translation>
        </message>
        <message>
            <source>Preferences...</source>
            <translation>Einstellungen...</translation>
        </message>
        <message>
            <source>Quit</source>
            <translation>Beenden</translation>
        </message>
        <message>
            <source>Window</source>
            <translation>Fenster</translation>
        </message>
        <message>
            <source>Minimize</source>
            <translation>Minimieren</translation>
        </message>
        <message>
            <source>Zoom</source>
            <translation>Zoomen</translation>
        </message>
        <message>
            <source>Bring All to Front</source>
            <translation>Alle nach vorne bringen</translation>
        </message>
        <message>
            <source>Preferred browser: %1</source>
            <translation>Bevorzugter Browser: %1</translation>
        </message>
        <message>
            <source>No links service: %1</source>
            <translation>Kein Link-Dienst: %1</translation>
        </message>
        <message>
            <source>Checking for updates...</source>
            <translation>Suche nach Updates...</translation>
        </message>
        <message>
            <source>Links</source>
            <translation>Links</translation>
        </message>
        <message>
            <source>Dialogs</source>
            <translation>Dialoge</translation>
        </message>
        <message>
            <source>Touch</source>
            <translation>Touch</translation>
        </message>
    </context>
    <context>
        <name>DemoSafeMode</name>
        <message>
            <source>Zentar Demo</source>
            <translation>Zentar Demo</translation>
        </message>
        <message>
            <source>Zentar Demo closed unexpectedly %1 times. Start with default settings?</source>
            <translation>Zentar Demo wurde %1-mal unerwartet beendet. Mit Standardeinstellungen starten?</translation>
        </message>
    </context>
</TS>
