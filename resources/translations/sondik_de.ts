<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name></name>
    <message id="Radio">
        <source>Radio</source>
        <translation>Radio</translation>
    </message>
    <message id="search">
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message id="no-internet-connection">
        <source>No internet connection</source>
        <translation>Keine Internetverbindung</translation>
    </message>
    <message id="stations">
        <source>Stations</source>
        <translation>Sender</translation>
    </message>
    <message id="unreachable">
        <source>Can't be reached right now</source>
        <translation>Gerade nicht erreichbar</translation>
    </message>
    <message id="missingstation">
        <source>Missing a station?</source>
        <translation>Fehlt ein Sender?</translation>
    </message>
    <message id="suggeststation">
        <source>Suggest a station</source>
        <translation>Sender vorschlagen</translation>
    </message>
    <message id="volume">
        <source>Volume</source>
        <translation>Lautstärke</translation>
    </message>
    <message id="launch-at-login">
        <source>Launch at login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message id="check-for-updates">
        <source>Check for updates</source>
        <translation>Nach Updates suchen</translation>
    </message>
    <message id="help">
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message id="quit">
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message id="Made with ♥ in Germany">
        <source>Made with ♥ in Germany</source>
        <translation>Mit ♥ in Deutschland gemacht</translation>
    </message>
    <message id="%1 %2 FM">
        <source>%1 %2 FM</source>
        <translation>%1 %2 FM</translation>
    </message>
    <message id="%1 %2 AM">
        <source>%1 %2 AM</source>
        <translation>%1 %2 AM</translation>
    </message>
    <message id="Sondik v.%1">
        <source>Sondik v.%1</source>
        <translation>Sondik v.%1</translation>
    </message>
    <message id="play">
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message id="pause">
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message id="preferences">
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message id="close-preferences">
        <source>Close preferences</source>
        <translation>Einstellungen schließen</translation>
    </message>
    <message id="Looking for a new version…">
        <source>Looking for a new version…</source>
        <translation>Suche nach einer neuen Version …</translation>
    </message>
    <message id="Sondik %1 is available. You have %2.">
        <source>Sondik %1 is available. You have %2.</source>
        <translation>Sondik %1 ist verfügbar. Sie haben %2.</translation>
    </message>
    <message id="Sondik %1 is the newest version.">
        <source>Sondik %1 is the newest version.</source>
        <translation>Sondik %1 ist die neueste Version.</translation>
    </message>
    <message id="The update check failed: %1">
        <source>The update check failed: %1</source>
        <translation>Die Suche nach Updates ist fehlgeschlagen: %1</translation>
    </message>
    <message id="The update server did not answer in time.">
        <source>The update server did not answer in time.</source>
        <translation>Der Update-Server hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message id="The update server sent something that is not an update feed.">
        <source>The update server sent something that is not an update feed.</source>
        <translation>Der Update-Server hat etwas gesendet, das kein Update-Feed ist.</translation>
    </message>
    <message id="The update feed lists no versions.">
        <source>The update feed lists no versions.</source>
        <translation>Der Update-Feed nennt keine Versionen.</translation>
    </message>
    <message id="The update feed names no version that Sondik can read.">
        <source>The update feed names no version that Sondik can read.</source>
        <translation>Der Update-Feed nennt keine Version, die Sondik lesen kann.</translation>
    </message>
    <message id="Release notes">
        <source>Release notes</source>
        <translation>Versionshinweise</translation>
    </message>
    <message id="Open download page">
        <source>Open download page</source>
        <translation>Download-Seite öffnen</translation>
    </message>
    <message id="Close">
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
</TS>
