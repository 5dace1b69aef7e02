<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
    <context>
        <name>DemoDialogsPage</name>
        <message>
            <source>The confirmation will be shown again.</source>
            <translation>Подтверждение будет показано снова.</translation>
        </message>
        <message>
            <source>Message boxes and helpers every product of the family shares.</source>
            <translation>Окна сообщений и помощники, общие для всех продуктов семейства.</translation>
        </message>
        <message>
            <source>Clear history...</source>
            <translation>Очистить историю...</translation>
        </message>
        <message>
            <source>Ask again</source>
            <translation>Спрашивать снова</translation>
        </message>
        <message>
            <source>About support...</source>
            <translation>О поддержке...</translation>
        </message>
        <message>
            <source>Restart...</source>
            <translation>Перезапустить...</translation>
        </message>
        <message>
            <source>Pick a colour...</source>
            <translation>Выбрать цвет...</translation>
        </message>
        <message>
            <source>Clear history</source>
            <translation>Очистить историю</translation>
        </message>
        <message>
            <source>Do you want to clear the list of recent files?</source>
            <translation>Очистить список недавних файлов?</translation>
        </message>
        <message>
            <source>History cleared.</source>
            <translation>История очищена.</translation>
        </message>
        <message>
            <source>History kept.</source>
            <translation>История сохранена.</translation>
        </message>
        <message>
            <source>Our support team answers within a day. Write to &lt;a href="mailto:support@zentar.example"&gt;support@zentar.example&lt;/a&gt;; clicking the address copies it.</source>
            <translation>Наша служба поддержки отвечает в течение дня. Пишите на &lt;a href="mailto:support@zentar.example"&gt;support@zentar.example&lt;/a&gt;; щелчок по адресу копирует его.</translation>
        </message>
        <message>
            <source>Got it</source>
            <translation>Понятно</translation>
        </message>
        <message>
            <source>Informed.</source>
            <translation>Сообщение показано.</translation>
        </message>
        <message>
            <source>Dismissed.</source>
            <translation>Закрыто.</translation>
        </message>
        <message>
            <source>Pick a colour</source>
            <translation>Выбор цвета</translation>
        </message>
        <message>
            <source>Picked %1. Custom colours are kept when the demo restarts.</source>
            <translation>Выбран цвет %1. Пользовательские цвета сохраняются после перезапуска демо.</translation>
        </message>
        <message>
            <source>Graphics driver message...</source>
            <translation>Сообщение о графическом драйвере...</translation>
        </message>
    </context>
    <context>
        <name>DemoLookAndFeel</name>
        <message>
            <source>&amp;Language</source>
            <translation>&amp;Язык</translation>
        </message>
        <message>
            <source>&amp;Theme</source>
            <translation>&amp;Тема</translation>
        </message>
    </context>
    <context>
        <name>DemoWindow</name>
        <message>
            <source>Zentar Demo</source>
            <translation>Zentar Demo</translation>
        </message>
        <message>
            <source>&amp;File</source>
            <translation>&amp;Файл</translation>
        </message>
        <message>
            <source>&amp;Quit</source>
            <translation>В&amp;ыход</translation>
        </message>
        <message>
            <source>Overview</source>
            <translation>Обзор</translation>
        </message>
        <message>
            <source>Launch type: %1</source>
            <translation>Тип запуска: %1</translation>
        </message>
        <message>
            <source>Session: %1</source>
            <translation>Сеанс: %1</translation>
        </message>
        <message>
            <source>No crashed sessions in earlier runs.</source>
            <translation>В прошлых запусках сбоев не было.</translation>
        </message>
        <message>
            <source>Crashed sessions of earlier runs:</source>
            <translation>Сеансы прошлых запусков, завершившиеся сбоем:</translation>
        </message>
        <message>
            <source>Launch: %1</source>
            <translation>Запуск: %1</translation>
        </message>
        <message>
            <source>Launch: %1 | Crashed sessions: %2</source>
            <translation>Запуск: %1 | Сеансы со сбоем: %2</translation>
        </message>
        <message>
            <source>Cause: %1</source>
            <translation>Причина: %1</translation>
        </message>
        <message>
            <source>no report (the process was killed or the machine stopped)</source>
            <translation>нет отчёта (процесс был уничтожен или компьютер остановился)</translation>
        </message>
        <message>
            <source>Top frames: %1</source>
            <translation>Верхние кадры стека: %1</translation>
        </message>
        <message>
            <source>Crash now</source>
            <translation>Аварийно завершить</translation>
        </message>
        <message>
            <source>Throw</source>
            <translation>Выбросить исключение</translation>
        </message>
    </context>
    <context>
        <name>QObject</name>
        <message>
            <source>Hide</source>
            <translation>Скрыть</translation>
        </message>
        <message>
            <source>Hide Others</source>
            <translation>Скрыть остальные</translation>
        </message>
        <message>
            <source>Preferences...</source>
            <translation>Настройки...</translation>
        </message>
        <message>
            <source>Quit</source>
            <translation>Выход</translation>
        </message>
        <message>
            <source>Window</source>
            <translation>Окно</translation>
        </message>
        <message>
            <source>Minimize</source>
            <translation>Свернуть</translation>
        </message>
        <message>
            <source>Zoom</source>
            <translation>Изменить масштаб</translation>
        </message>
        <message>
            <source>Bring All to Front</source>
            <translation>Все окна на передний план</translation>
        </message>
        <message>
            <source>Preferred browser: %1</source>
            <translation>Предпочитаемый браузер: %1</translation>
        </message>
        <message>
            <source>No links service: %1</source>
            <translation>Нет службы ссылок: %1</translation>
        </message>
        <message>
            <source>Checking for updates...</source>
            <translation>Проверка обновлений...</translation>
        </message>
        <message>
            <source>Links</source>
            <translation>Ссылки</translation>
        </message>
        <message>
            <source>Dialogs</source>
            <translation>Диалоги</translation>
        </message>
        <message>
            <source>Touch</source>
            <translation>Касания</translation>
        </message>
    </context>
    <context>
        <name>DemoSafeMode</name>
        <message>
            <source>Zentar Demo</source>
            <translation>Zentar Demo</translation>
        </message>
        <message>
            <source>Zentar Demo closed unexpectedly %1 times. Start with default settings?</source>
            <translation>Zentar Demo неожиданно закрылась %1 раз(а) подряд. Запустить с настройками по умолчанию?</translation>
        </message>
    </context>
</TS>
