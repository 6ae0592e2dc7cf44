<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>Enlarge</name>
    <message>
        <source>No files added.</source>
        <translation>Файлы не добавлены.</translation>
    </message>
    <message>
        <source>Folder does not exist. Please select another folder.</source>
        <translation>Папка не существует. Выберите другую папку.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Готово.</translation>
    </message>
    <message>
        <source>Processing: %1</source>
        <translation>Обработка: %1</translation>
    </message>
    <message>
        <source>Maximum dimension of result file must be 15,000 pixels or less.</source>
        <translation>Размер результата не должен превышать 15 000 пикселей по каждой стороне.</translation>
    </message>
    <message>
        <source>The result would replace the original file. Please select another folder.</source>
        <translation>Результат заменил бы исходный файл. Выберите другую папку.</translation>
    </message>
    <message>
        <source>A file of this name was already enlarged into this folder in this run.</source>
        <translation>Файл с таким именем уже был увеличен в эту папку при этом запуске.</translation>
    </message>
    <message>
        <source>Cannot enlarge %1.</source>
        <translation>Не удалось увеличить %1.</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n file(s) could not be enlarged:</source>
        <translation>
            <numerusform>Не удалось увеличить %1 из %n файла:</numerusform>
            <numerusform>Не удалось увеличить %1 из %n файлов:</numerusform>
            <numerusform>Не удалось увеличить %1 из %n файлов:</numerusform>
        </translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Ход выполнения</translation>
    </message>
    <message>
        <source>Please wait.. %1</source>
        <translation>Подождите… %1</translation>
    </message>
    <message>
        <source>Must be a numeric value.</source>
        <translation>Значение должно быть числом.</translation>
    </message>
    <message>
        <source>the file is damaged or incomplete</source>
        <translation>файл повреждён или неполон</translation>
    </message>
    <message>
        <source>not a picture format this program reads</source>
        <translation>формат изображения, который программа не читает</translation>
    </message>
    <message>
        <source>the picture or its result is too large</source>
        <translation>изображение или результат слишком велики</translation>
    </message>
    <message>
        <source>the result could not be written</source>
        <translation>не удалось записать результат</translation>
    </message>
    <message>
        <source>an internal error</source>
        <translation>внутренняя ошибка</translation>
    </message>
    <message>
        <source>the converter could not be started</source>
        <translation>не удалось запустить конвертер</translation>
    </message>
    <message>
        <source>the converter stopped unexpectedly</source>
        <translation>конвертер неожиданно завершил работу</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>ErrorBox</name>
    <message>
        <source>Division by zero</source>
        <translation>Деление на ноль</translation>
    </message>
    <message>
        <source>Index out of bounds</source>
        <translation>Индекс за пределами допустимого диапазона</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Переполнение</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Несоответствие типа</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Файл не найден</translation>
    </message>
    <message>
        <source>File already open</source>
        <translation>Файл уже открыт</translation>
    </message>
    <message>
        <source>Device I/O error</source>
        <translation>Ошибка ввода-вывода устройства</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Диск заполнен</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Доступ запрещён</translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation>Ошибка доступа к пути или файлу</translation>
    </message>
    <message>
        <source>Path not found</source>
        <translation>Путь не найден</translation>
    </message>
    <message>
        <source>Invalid picture</source>
        <translation>Недопустимое изображение</translation>
    </message>
    <message>
        <source>The FileName buffer is too small to store the selected file name(s).</source>
        <translation>Буфер слишком мал для имён выбранных файлов.</translation>
    </message>
    <message>
        <source>Application-defined or object-defined error</source>
        <translation>Ошибка, определяемая приложением или объектом</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Ошибка приложения</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to %1</source>
        <translation>Отправьте снимок экрана с этим сообщением на адрес %1</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Недостаточно памяти</translation>
    </message>
</context>
<context>
    <name>OpenFiles</name>
    <message>
        <source>Add File(s) - Hold Ctrl or Shift to select multiple files</source>
        <translation>Добавление файлов — удерживайте Ctrl или Shift, чтобы выбрать несколько</translation>
    </message>
    <message>
        <source>All Pictures (%1)</source>
        <translation>Все изображения (%1)</translation>
    </message>
    <message>
        <source>You&apos;ve selected too many files to add.<byte value="xd"/><byte value="xd"/>Please try adding via the &quot;Add All&quot; button.</source>
        <translation>Выбрано слишком много файлов.<byte value="xd"/><byte value="xd"/>Попробуйте добавить их кнопкой «Добавить всю папку».</translation>
    </message>
</context>
<context>
    <name>SampleFiles</name>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>Открыть папку с этими примерами, чтобы посмотреть их перед работой?</translation>
    </message>
</context>
<context>
    <name>quorvel::FolderController</name>
    <message>
        <source>Please select folder:</source>
        <translation>Выберите папку:</translation>
    </message>
    <message>
        <source>Enter file extension to load:<byte value="xd"/><byte value="xd"/>(* for all files, txt for all txt files, doc for all doc files, etc.)</source>
        <translation>Введите расширение загружаемых файлов:<byte value="xd"/><byte value="xd"/>(* — все файлы, txt — все файлы txt, doc — все файлы doc и т. д.)</translation>
    </message>
    <message>
        <source>This software currently supports the following image formats: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
If you need more formats added, please contact Team Bramwick at %1</source>
        <translation>Сейчас программа поддерживает следующие форматы изображений: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
Если вам нужны другие форматы, свяжитесь с командой Bramwick: %1</translation>
    </message>
</context>
<context>
    <name>quorvel::Form1</name>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>Перетащите файлы сюда. Двойной щелчок по элементу удаляет его. Чтобы увидеть полные имена, сдвиньте линию | вправо за край окна.</translation>
    </message>
    <message>
        <source>Add Image File(s)</source>
        <translation>Добавить изображения</translation>
    </message>
    <message>
        <source>Add All File(s) In Folder</source>
        <translation>Добавить всю папку</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Очистить список</translation>
    </message>
    <message>
        <source>Load Sample/Example Files</source>
        <translation>Загрузить примеры</translation>
    </message>
    <message>
        <source>Resize Options</source>
        <translation>Увеличение</translation>
    </message>
    <message>
        <source>Zoom 2x</source>
        <translation>Увеличить в 2 раза</translation>
    </message>
    <message>
        <source>Zoom 3x</source>
        <translation>Увеличить в 3 раза</translation>
    </message>
    <message>
        <source>Zoom 4x</source>
        <translation>Увеличить в 4 раза</translation>
    </message>
    <message>
        <source>Zoom          x</source>
        <extracomment>The spaces leave room for the factor box, drawn over them; keep the text before them short and the spaces in place.</extracomment>
        <translation>В                  раз</translation>
    </message>
    <message>
        <source>Save Image(s) To This Folder</source>
        <translation>Сохранять изображения в эту папку</translation>
    </message>
    <message>
        <source>Start Enlarging</source>
        <translation>Начать увеличение</translation>
    </message>
    <message>
        <source>Image File(s)</source>
        <translation>Файлы изображений</translation>
    </message>
</context>
</TS>
