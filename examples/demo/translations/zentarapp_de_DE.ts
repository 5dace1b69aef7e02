<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
    <context>
        <name>AppTest</name>
        <message>
            <source>Config test error</source>
            <translation>Fehler beim Konfigurationstest</translation>
        </message>
        <message>
            <source>Can't open file to dump: </source>
            <translation>Ausgabedatei kann nicht geöffnet werden: </translation>
        </message>
    </context>
    <context>
        <name>ApplicationRestarter</name>
        <message>
            <source>Attention</source>
            <translation>Achtung</translation>
        </message>
        <message>
            <source>&lt;b&gt;This will restart the application.&lt;/b&gt;&lt;br&gt;Do you want to continue?</source>
            <translation>&lt;b&gt;Die Anwendung wird neu gestartet.&lt;/b&gt;&lt;br&gt;Möchten Sie fortfahren?</translation>
        </message>
    </context>
    <context>
        <name>SharedMessages</name>
        <message>
            <source>NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; CUDA&amp;#8482; acceleration has been disabled in NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; Control Panel. To enable CUDA&amp;#8482; acceleration for Zentar Clipforge, select &lt;b&gt;High-performance NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; processor&lt;/b&gt; as your preferred graphics processor in NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; Control Panel.&lt;br&gt;&lt;br&gt;&lt;a href="%1" style="%2"&gt;Detailed Instructions&lt;/a&gt;</source>
            <translation>Die NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; CUDA&amp;#8482;-Beschleunigung wurde in der NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; Systemsteuerung deaktiviert. Um die CUDA&amp;#8482;-Beschleunigung für Zentar Clipforge zu aktivieren, wählen Sie in der NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; Systemsteuerung &lt;b&gt;Hochleistungs-NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt;-Prozessor&lt;/b&gt; als bevorzugten Grafikprozessor aus.&lt;br&gt;&lt;br&gt;&lt;a href="%1" style="%2"&gt;Ausführliche Anleitung&lt;/a&gt;</translation>
        </message>
        <message>
            <source>Unfortunately, the currently installed graphics card driver does not support NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; CUDA&amp;#8482; acceleration.&lt;br&gt;&lt;br&gt;You can install an earlier version of the NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; graphics card driver to enable CUDA&amp;#8482; acceleration. To do that, simply download the installation package and follow the manufacturer's instructions to install the driver.&lt;br&gt;&lt;br&gt;&lt;a href="%1" style="%2"&gt;Download Driver&lt;/a&gt;</source>
            <translation>Leider unterstützt der installierte Grafikkartentreiber die NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; CUDA&amp;#8482;-Beschleunigung nicht.&lt;br&gt;&lt;br&gt;Sie können eine frühere Version des NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt;-Grafikkartentreibers installieren, um die CUDA&amp;#8482;-Beschleunigung zu aktivieren. Laden Sie dazu das Installationspaket herunter und folgen Sie den Anweisungen des Herstellers.&lt;br&gt;&lt;br&gt;&lt;a href="%1" style="%2"&gt;Treiber herunterladen&lt;/a&gt;</translation>
        </message>
    </context>
    <context>
        <name>Zentar::App::ConfirmationAlertBox</name>
        <message>
            <source>Don't show this again</source>
            <translation>Nicht mehr anzeigen</translation>
        </message>
    </context>
    <context>
        <name>Zentar::App::Informer</name>
        <message>
            <source>Email address has been copied to the clipboard</source>
            <translation>Die E-Mail-Adresse wurde in die Zwischenablage kopiert</translation>
        </message>
    </context>
    <context>
        <name>Zentar::EmailDialog::EmailDialog</name>
        <message>
            <source>Stay informed</source>
            <translation>Bleiben Sie informiert</translation>
        </message>
        <message>
            <source>Enter your e-mail address to hear about updates, tips and offers for %1.</source>
            <translation>Geben Sie Ihre E-Mail-Adresse ein, um über Updates, Tipps und Angebote zu %1 informiert zu werden.</translation>
        </message>
        <message>
            <source>name@example.com</source>
            <translation>name@example.com</translation>
        </message>
        <message>
            <source>This does not look like an e-mail address.</source>
            <translation>Das sieht nicht wie eine E-Mail-Adresse aus.</translation>
        </message>
        <message>
            <source>We respect your privacy: &lt;a href="%1"&gt;privacy policy&lt;/a&gt;.</source>
            <translation>Wir respektieren Ihre Privatsphäre: &lt;a href="%1"&gt;Datenschutzerklärung&lt;/a&gt;.</translation>
        </message>
        <message>
            <source>Subscribe</source>
            <translation>Abonnieren</translation>
        </message>
        <message>
            <source>Not now</source>
            <translation>Nicht jetzt</translation>
        </message>
    </context>
    <context>
        <name>Zentar::Util::AlertBox</name>
        <message>
            <source>Learn more</source>
            <translation>Mehr erfahren</translation>
        </message>
    </context>
</TS>
