<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
    <context>
        <name>AppTest</name>
        <message>
            <source>Config test error</source>
            <translation>Ошибка проверки конфигурации</translation>
        </message>
        <message>
            <source>Can't open file to dump: </source>
            <translation>Не удаётся открыть файл для записи: </translation>
        </message>
    </context>
    <context>
        <name>ApplicationRestarter</name>
        <message>
            <source>Attention</source>
            <translation>Внимание</translation>
        </message>
        <message>
            <source>&lt;b&gt;This will restart the application.&lt;/b&gt;&lt;br&gt;Do you want to continue?</source>
            <translation>&lt;b&gt;Приложение будет перезапущено.&lt;/b&gt;&lt;br&gt;Продолжить?</translation>
        </message>
    </context>
    <context>
        <name>SharedMessages</name>
        <message>
            <source>NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; CUDA&amp;#8482; acceleration has been disabled in NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; Control Panel. To enable CUDA&amp;#8482; acceleration for Zentar Clipforge, select &lt;b&gt;High-performance NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; processor&lt;/b&gt; as your preferred graphics processor in NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; Control Panel.&lt;br&gt;&lt;br&gt;&lt;a href="%1" style="%2"&gt;Detailed Instructions&lt;/a&gt;</source>
            <translation>Ускорение NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; CUDA&amp;#8482; отключено в панели управления NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt;. Чтобы включить ускорение CUDA&amp;#8482; для Zentar Clipforge, выберите &lt;b&gt;Высокопроизводительный процессор NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt;&lt;/b&gt; в качестве предпочтительного графического процессора в панели управления NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt;.&lt;br&gt;&lt;br&gt;&lt;a href="%1" style="%2"&gt;Подробные инструкции&lt;/a&gt;</translation>
        </message>
        <message>
            <source>Unfortunately, the currently installed graphics card driver does not support NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; CUDA&amp;#8482; acceleration.&lt;br&gt;&lt;br&gt;You can install an earlier version of the NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; graphics card driver to enable CUDA&amp;#8482; acceleration. To do that, simply download the installation package and follow the manufacturer's instructions to install the driver.&lt;br&gt;&lt;br&gt;&lt;a href="%1" style="%2"&gt;Download Driver&lt;/a&gt;</source>
            <translation>К сожалению, установленный драйвер видеокарты не поддерживает ускорение NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt; CUDA&amp;#8482;.&lt;br&gt;&lt;br&gt;Чтобы включить ускорение CUDA&amp;#8482;, можно установить более раннюю версию драйвера видеокарты NVIDIA&lt;sup&gt;&amp;reg;&lt;/sup&gt;. Для этого загрузите установочный пакет и следуйте инструкциям производителя.&lt;br&gt;&lt;br&gt;&lt;a href="%1" style="%2"&gt;Загрузить драйвер&lt;/a&gt;</translation>
        </message>
    </context>
    <context>
        <name>Zentar::App::ConfirmationAlertBox</name>
        <message>
            <source>Don't show this again</source>
            <translation>Больше не показывать</translation>
        </message>
    </context>
    <context>
        <name>Zentar::App::Informer</name>
        <message>
            <source>Email address has been copied to the clipboard</source>
            <translation>Адрес электронной почты скопирован в буфер обмена</translation>
        </message>
    </context>
    <context>
        <name>Zentar::EmailDialog::EmailDialog</name>
        <message>
            <source>Stay informed</source>
            <translation>Будьте в курсе</translation>
        </message>
        <message>
            <source>Enter your e-mail address to hear about updates, tips and offers for %1.</source>
            <translation>Укажите адрес электронной почты, чтобы получать новости об обновлениях, советы и предложения для %1.</translation>
        </message>
        <message>
            <source>name@example.com</source>
            <translation>name@example.com</translation>
        </message>
        <message>
            <source>This does not look like an e-mail address.</source>
            <translation>Это не похоже на адрес электронной почты.</translation>
        </message>
        <message>
            <source>We respect your privacy: &lt;a href="%1"&gt;privacy policy&lt;/a&gt;.</source>
            <translation>Мы уважаем вашу конфиденциальность: &lt;a href="%1"&gt;политика конфиденциальности&lt;/a&gt;.</translation>
        </message>
        <message>
            <source>Subscribe</source>
            <translation>Подписаться</translation>
        </message>
        <message>
            <source>Not now</source>
            <translation>Не сейчас</translation>
        </message>
    </context>
    <context>
        <name>Zentar::Util::AlertBox</name>
        <message>
            <source>Learn more</source>
            <translation>Подробнее</translation>
        </message>
    </context>
</TS>
