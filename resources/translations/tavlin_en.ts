<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
    <context>
        <name>Core</name>
        <message numerus="yes">
            <source>%n byte(s)</source>
            <translation>
                <numerusform>%n byte</numerusform>
                <numerusform>%n bytes</numerusform>
            </translation>
        </message>
    </context>
    <context>
        <name>Tavlin</name>
        <message numerus="yes">
            <source>Limit not changed: favorites hold %n records, more than %1. Favorites are never removed automatically: remove some records from favorites or choose a larger limit.</source>
            <translation>
                <numerusform>Limit not changed: favorites hold %n record, more than %1. Favorites are never removed automatically: remove some records from favorites or choose a larger limit.</numerusform>
                <numerusform>Limit not changed: favorites hold %n records, more than %1. Favorites are never removed automatically: remove some records from favorites or choose a larger limit.</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>%n character(s)</source>
            <translation>
                <numerusform>%n character</numerusform>
                <numerusform>%n characters</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>%n line(s)</source>
            <translation>
                <numerusform>%n line</numerusform>
                <numerusform>%n lines</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>%n min</source>
            <translation>
                <numerusform>%n min</numerusform>
                <numerusform>%n min</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>%n h</source>
            <translation>
                <numerusform>%n h</numerusform>
                <numerusform>%n h</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>%n d</source>
            <translation>
                <numerusform>%n d</numerusform>
                <numerusform>%n d</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Files (%n)</source>
            <translation>
                <numerusform>Files (%n)</numerusform>
                <numerusform>Files (%n)</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Now: %Ln records, %1 of data, %2 in favorites.</source>
            <translation>
                <numerusform>Now: %Ln record, %1 of data, %2 in favorites.</numerusform>
                <numerusform>Now: %Ln records, %1 of data, %2 in favorites.</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Delete %n records?</source>
            <translation>
                <numerusform>Delete %n record?</numerusform>
                <numerusform>Delete %n records?</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>New limit: %Ln records and %1.</source>
            <translation>
                <numerusform>New limit: %Ln record and %1.</numerusform>
                <numerusform>New limit: %Ln records and %1.</numerusform>
            </translation>
        </message>
    </context>
    <context>
        <name>tavlin::ClearHistorySheet</name>
        <message numerus="yes">
            <source>Keep favorites (%n)</source>
            <translation>
                <numerusform>Keep favorites (%n)</numerusform>
                <numerusform>Keep favorites (%n)</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>To be deleted: %n</source>
            <translation>
                <numerusform>To be deleted: %n</numerusform>
                <numerusform>To be deleted: %n</numerusform>
            </translation>
        </message>
    </context>
    <context>
        <name>tavlin::ContentView</name>
        <message numerus="yes">
            <source>Records: %n</source>
            <translation>
                <numerusform>Records: %n</numerusform>
                <numerusform>Records: %n</numerusform>
            </translation>
        </message>
    </context>
    <context>
        <name>tavlin::SourceFilterPopover</name>
        <message numerus="yes">
            <source>Apps: %n</source>
            <translation>
                <numerusform>Apps: %n</numerusform>
                <numerusform>Apps: %n</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Selected: %n</source>
            <translation>
                <numerusform>Selected: %n</numerusform>
                <numerusform>Selected: %n</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Records: %n</source>
            <translation>
                <numerusform>Records: %n</numerusform>
                <numerusform>Records: %n</numerusform>
            </translation>
        </message>
    </context>
</TS>
