<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>lumaro::ui::AllDisplaysRow</name>
    <message>
        <source>All Displays</source>
        <translation>Alle Displays</translation>
    </message>
</context>
<context>
    <name>lumaro::ui::ContentView</name>
    <message>
        <source>No Apple Cinema Displays found.</source>
        <translation>Keine Apple Cinema Displays gefunden.</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
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
    <message>
        <source>No permission to control this display, and Lumaro&apos;s display access rule does not list it. Add this line to /etc/udev/rules.d/70-lumaro.rules, then unplug the display and plug it back in: %1</source>
        <translation>Keine Berechtigung, dieses Display zu steuern, und die Display-Zugriffsregel von Lumaro führt es nicht auf. Fügen Sie diese Zeile in /etc/udev/rules.d/70-lumaro.rules ein, ziehen Sie dann das Display ab und stecken Sie es wieder ein: %1</translation>
    </message>
    <message>
        <source>No permission to control this display. Install Lumaro&apos;s display access rule (part of the Lumaro package), then unplug the display and plug it back in.</source>
        <translation>Keine Berechtigung, dieses Display zu steuern. Installieren Sie die Display-Zugriffsregel von Lumaro (Teil des Lumaro-Pakets), ziehen Sie dann das Display ab und stecken Sie es wieder ein.</translation>
    </message>
    <message>
        <source>The display did not answer. It may have been unplugged; refresh the list.</source>
        <translation>Das Display hat nicht geantwortet. Vielleicht wurde es abgezogen; aktualisieren Sie die Liste.</translation>
    </message>
    <message>
        <source>The display&apos;s brightness could not be read. Refresh the list to try again.</source>
        <translation>Die Helligkeit des Displays konnte nicht gelesen werden. Aktualisieren Sie die Liste, um es erneut zu versuchen.</translation>
    </message>
</context>
<context>
    <name>lumaro::ui::LevelIndicator</name>
    <message>
        <source>Brightness</source>
        <translation>Helligkeit</translation>
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
    <message>
        <source>Restore brightness when a display returns</source>
        <translation>Helligkeit wiederherstellen, wenn ein Display zurückkehrt</translation>
    </message>
    <message>
        <source>Start at Login</source>
        <translation>Bei Anmeldung starten</translation>
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
