<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
    <context>
        <name>Core</name>
        <message>
            <source>Zero KB</source>
            <translation>0 КБ</translation>
        </message>
        <message numerus="yes">
            <source>%n byte(s)</source>
            <translation>
                <numerusform>%n байт</numerusform>
                <numerusform>%n байта</numerusform>
                <numerusform>%n байт</numerusform>
            </translation>
        </message>
        <message>
            <source>%1 KB</source>
            <translation>%1 КБ</translation>
        </message>
        <message>
            <source>%1 MB</source>
            <translation>%1 МБ</translation>
        </message>
        <message>
            <source>%1 GB</source>
            <translation>%1 ГБ</translation>
        </message>
        <message>
            <source>%1 TB</source>
            <translation>%1 ТБ</translation>
        </message>
        <message>
            <source>%1 PB</source>
            <translation>%1 ПБ</translation>
        </message>
        <message>
            <source>The data couldn’t be read because it isn’t in the correct format.</source>
            <translation>Не удалось прочитать данные: у них неверный формат.</translation>
        </message>
        <message>
            <source>it doesn’t exist</source>
            <translation>его не существует</translation>
        </message>
        <message>
            <source>permission denied</source>
            <translation>нет доступа</translation>
        </message>
        <message>
            <source>the disk is full</source>
            <translation>диск заполнен</translation>
        </message>
        <message>
            <source>the disk is read-only</source>
            <translation>диск доступен только для чтения</translation>
        </message>
        <message>
            <source>something else is in its place</source>
            <translation>на его месте находится что-то другое</translation>
        </message>
        <message>
            <source>Tavlin couldn’t use the file “%1”: %2.</source>
            <translation>Tavlin не удалось использовать файл «%1»: %2.</translation>
        </message>
        <message>
            <source>History changed: confirm the deletion again.</source>
            <translation>История изменилась: подтвердите удаление ещё раз.</translation>
        </message>
        <message>
            <source>Tavlin couldn’t read or save the history. Try again; if this keeps happening, restart Tavlin.</source>
            <translation>Tavlin не удалось прочитать или сохранить историю. Попробуйте ещё раз; если ошибка повторится, перезапустите Tavlin.</translation>
        </message>
        <message>
            <source>This record’s data is damaged and can’t be used. The rest of the history isn’t affected.</source>
            <translation>Данные этой записи повреждены, и её нельзя использовать. Остальная история не затронута.</translation>
        </message>
        <message>
            <source>This history was saved by a newer version of Tavlin. Update Tavlin to open it.</source>
            <translation>Эта история сохранена более новой версией Tavlin. Обновите Tavlin, чтобы открыть её.</translation>
        </message>
        <message>
            <source>The record is larger than %1 and wasn’t saved.</source>
            <translation>Запись больше %1 и не сохранена.</translation>
        </message>
        <message>
            <source>The text is too large to save.</source>
            <translation>Текст слишком большой, чтобы его сохранить.</translation>
        </message>
        <message>
            <source>Favorites take up the whole history limit. Remove some records from favorites or choose a larger limit in Settings.</source>
            <translation>Избранное занимает весь лимит истории. Уберите часть записей из избранного или выберите больший лимит в настройках.</translation>
        </message>
        <message>
            <source>This history limit isn’t supported.</source>
            <translation>Такой лимит истории не поддерживается.</translation>
        </message>
        <message>
            <source>Favorites don’t fit within the selected limit.</source>
            <translation>Избранное не помещается в выбранный лимит.</translation>
        </message>
    </context>
    <context>
        <name>Tavlin</name>
        <message>
            <source>Favorites</source>
            <translation>Избранное</translation>
        </message>
        <message>
            <source>History</source>
            <translation>История</translation>
        </message>
        <message>
            <source>All</source>
            <translation>Все</translation>
        </message>
        <message>
            <source>Text</source>
            <translation>Текст</translation>
        </message>
        <message>
            <source>Links</source>
            <translation>Ссылки</translation>
        </message>
        <message>
            <source>Images</source>
            <translation>Изображения</translation>
        </message>
        <message>
            <source>Files</source>
            <translation>Файлы</translation>
        </message>
        <message>
            <source>This app is already in the list.</source>
            <translation>Это приложение уже есть в списке.</translation>
        </message>
        <message>
            <source>This app is already excluded by Tavlin’s built-in protection.</source>
            <translation>Это приложение уже исключено встроенной защитой Tavlin.</translation>
        </message>
        <message>
            <source>Tavlin does not record its own copies again.</source>
            <translation>Tavlin не сохраняет повторно то, что скопировал сам.</translation>
        </message>
        <message>
            <source>Couldn’t recognize this app. Choose one of the installed applications.</source>
            <translation>Не удалось распознать приложение. Выберите одно из установленных приложений.</translation>
        </message>
        <message>
            <source>The record is larger than %1 and wasn’t saved.</source>
            <translation>Запись превышает %1 и не сохранена.</translation>
        </message>
        <message>
            <source>Could not build the image preview.</source>
            <translation>Не удалось построить превью изображения.</translation>
        </message>
        <message>
            <source>The clipboard changed. Copy the record again.</source>
            <translation>Буфер обмена изменился. Скопируйте запись ещё раз.</translation>
        </message>
        <message>
            <source>Could not write the data to the clipboard.</source>
            <translation>Не удалось записать данные в буфер обмена.</translation>
        </message>
        <message>
            <source>This record has already been deleted from history.</source>
            <translation>Эта запись уже удалена из истории.</translation>
        </message>
        <message>
            <source>The original data of this record is unavailable.</source>
            <translation>Исходные данные этой записи недоступны.</translation>
        </message>
        <message>
            <source>Unsupported storage limit.</source>
            <translation>Такой лимит хранения не поддерживается.</translation>
        </message>
        <message>
            <source>Limit not changed. %1</source>
            <translation>Лимит не изменён. %1</translation>
        </message>
        <message numerus="yes">
            <source>Limit not changed: favorites hold %n records, more than %1. Favorites are never removed automatically: remove some records from favorites or choose a larger limit.</source>
            <translation>
                <numerusform>Лимит не изменён: в избранном %n запись, а это больше, чем %1. Избранное никогда не удаляется автоматически: уберите часть записей из избранного или выберите больший лимит.</numerusform>
                <numerusform>Лимит не изменён: в избранном %n записи, а это больше, чем %1. Избранное никогда не удаляется автоматически: уберите часть записей из избранного или выберите больший лимит.</numerusform>
                <numerusform>Лимит не изменён: в избранном %n записей, а это больше, чем %1. Избранное никогда не удаляется автоматически: уберите часть записей из избранного или выберите больший лимит.</numerusform>
            </translation>
        </message>
        <message>
            <source>Limit not changed: favorites take up %1, more than %2. Favorites are never removed automatically: remove some records from favorites or choose a larger limit.</source>
            <translation>Лимит не изменён: избранное занимает %1, а это больше, чем %2. Избранное никогда не удаляется автоматически: уберите часть записей из избранного или выберите больший лимит.</translation>
        </message>
        <message>
            <source>Formatted text</source>
            <translation>Форматированный текст</translation>
        </message>
        <message>
            <source>Image</source>
            <translation>Изображение</translation>
        </message>
        <message>
            <source>PDF document</source>
            <translation>PDF-документ</translation>
        </message>
    </context>
</TS>
