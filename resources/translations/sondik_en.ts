<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en_US">
<context>
    <name></name>
    <message id="Radio">
        <source>Radio</source>
        <translation>Radio</translation>
    </message>
    <message id="search">
        <source>Search</source>
        <translation>Search</translation>
    </message>
    <message id="no-internet-connection">
        <source>No internet connection</source>
        <translation>No internet connection</translation>
    </message>
    <message id="stations">
        <source>Stations</source>
        <translation>Stations</translation>
    </message>
    <message id="unreachable">
        <source>Can't be reached right now</source>
        <translation>Can't be reached right now</translation>
    </message>
    <message id="missingstation">
        <source>Missing a station?</source>
        <translation>Missing a station?</translation>
    </message>
    <message id="suggeststation">
        <source>Suggest a station</source>
        <translation>Suggest a station</translation>
    </message>
    <message id="volume">
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message id="launch-at-login">
        <source>Launch at login</source>
        <translation>Launch at login</translation>
    </message>
    <message id="check-for-updates">
        <source>Check for updates</source>
        <translation>Check for updates</translation>
    </message>
    <message id="help">
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message id="quit">
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message id="Made with ♥ in Germany">
        <source>Made with ♥ in Germany</source>
        <translation>Made with ♥ in Germany</translation>
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
        <translation>Play</translation>
    </message>
    <message id="pause">
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message id="preferences">
        <source>Preferences</source>
        <translation>Preferences</translation>
    </message>
    <message id="close-preferences">
        <source>Close preferences</source>
        <translation>Close preferences</translation>
    </message>
    <message id="Looking for a new version…">
        <source>Looking for a new version…</source>
        <translation>Looking for a new version…</translation>
    </message>
    <message id="Sondik %1 is available. You have %2.">
        <source>Sondik %1 is available. You have %2.</source>
        <translation>Sondik %1 is available. You have %2.</translation>
    </message>
    <message id="Sondik %1 is the newest version.">
        <source>Sondik %1 is the newest version.</source>
        <translation>Sondik %1 is the newest version.</translation>
    </message>
    <message id="The update check failed: %1">
        <source>The update check failed: %1</source>
        <translation>The update check failed: %1</translation>
    </message>
    <message id="The update server did not answer in time.">
        <source>The update server did not answer in time.</source>
        <translation>The update server did not answer in time.</translation>
    </message>
    <message id="The update server sent something that is not an update feed.">
        <source>The update server sent something that is not an update feed.</source>
        <translation>The update server sent something that is not an update feed.</translation>
    </message>
    <message id="The update feed lists no versions.">
        <source>The update feed lists no versions.</source>
        <translation>The update feed lists no versions.</translation>
    </message>
    <message id="The update feed names no version that Sondik can read.">
        <source>The update feed names no version that Sondik can read.</source>
        <translation>The update feed names no version that Sondik can read.</translation>
    </message>
    <message id="Release notes">
        <source>Release notes</source>
        <translation>Release notes</translation>
    </message>
    <message id="Open download page">
        <source>Open download page</source>
        <translation>Open download page</translation>
    </message>
    <message id="Close">
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
</TS>
