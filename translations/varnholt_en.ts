<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>TWinArchives</name>
    <message numerus="yes">
        <source>Why are %n archives of %1 deleted?</source>
        <translation>
            <numerusform>Why is %n archive of %1 deleted?</numerusform>
            <numerusform>Why are %n archives of %1 deleted?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TWinShowData</name>
    <message numerus="yes">
        <source>Why are %n points of %1 deleted?</source>
        <translation>
            <numerusform>Why is %n point of %1 deleted?</numerusform>
            <numerusform>Why are %n points of %1 deleted?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Irreversible deletion of %n lines ?</source>
        <translation>
            <numerusform>Irreversible deletion of %n line ?</numerusform>
            <numerusform>Irreversible deletion of %n lines ?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Irreversible deletion of %n lines.<byte value="xd"/>+ %1</source>
        <translation>
            <numerusform>Irreversible deletion of %n line.<byte value="xd"/>+ %1</numerusform>
            <numerusform>Irreversible deletion of %n lines.<byte value="xd"/>+ %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UEntryFlow</name>
    <message numerus="yes">
        <source>%n run(s)</source>
        <translation>
            <numerusform>%n run</numerusform>
            <numerusform>%n runs</numerusform>
        </translation>
    </message>
</context>
</TS>
