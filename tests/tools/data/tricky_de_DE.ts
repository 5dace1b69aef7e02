<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Window</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Saved %1 of %2 files</source>
        <translation type="unfinished">%1 von %2 Dateien gespeichert</translation>
    </message>
    <message>
        <source>&lt;b&gt;Bold&lt;/b&gt; &amp;amp; plain</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n folder(s)</source>
        <translation>
            <numerusform>%n Ordner</numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Gone</source>
        <translation type="vanished">Weg</translation>
    </message>
    <message>
        <source>Older</source>
        <translation type="obsolete">Älter</translation>
    </message>
</context>
<context>
    <name>Dialog</name>
    <message>
        <source>Close</source>
        <comment>button</comment>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
</context>
</TS>
