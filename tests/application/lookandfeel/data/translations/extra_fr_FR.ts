<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>SharedMessages</name>
    <message>
        <source>Hello</source>
        <translation>Bonjour en plus</translation>
    </message>
</context>
</TS>
