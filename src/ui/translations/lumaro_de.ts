<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>lumaro::ui::ContentView</name>
    <message>
        <source>No Apple Cinema Displays found.</source>
        <translation>Keine Apple Cinema Displays gefunden.</translation>
    </message>
</context>
<context>
    <name>lumaro::ui::DisplayInfoView</name>
    <message>
        <source>All information provided without guarantee.</source>
        <translation>Alle Angaben ohne Gewähr.</translation>
    </message>
    <message>
        <source>Trying to load EDID information...</source>
        <translation>EDID-Informationen werden geladen …</translation>
    </message>
    <message>
        <source>No EDID information could be found.</source>
        <translation>Es konnten keine EDID-Informationen gefunden werden.</translation>
    </message>
</context>
<context>
    <name>lumaro::ui::DisplayRow</name>
    <message>
        <source>Show display information</source>
        <translation>Displayinformationen anzeigen</translation>
    </message>
    <message>
        <source>Show information for %1</source>
        <translation>Informationen zu %1 anzeigen</translation>
    </message>
    <message>
        <source>Brightness for %1</source>
        <translation>Helligkeit von %1</translation>
    </message>
</context>
<context>
    <name>lumaro::ui::LumaroApp</name>
    <message>
        <source>Open Lumaro</source>
        <translation>Lumaro öffnen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Lumaro</source>
        <translation>Lumaro</translation>
    </message>
</context>
<context>
    <name>lumaro::ui::LumaroWindow</name>
    <message>
        <source>Lumaro</source>
        <translation>Lumaro</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
</context>
</TS>
