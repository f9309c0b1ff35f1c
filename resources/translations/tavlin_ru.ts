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
        <message>
            <source>Another program is using the history. Try again in a moment.</source>
            <translation>Историей сейчас пользуется другая программа. Попробуйте чуть позже.</translation>
        </message>
    </context>
    <context>
        <name>Onboarding</name>
        <message>
            <source>Weekend ideas</source>
            <translation>Идеи на выходные</translation>
        </message>
        <message>
            <source>A walk, coffee and a new book</source>
            <translation>Прогулка, кофе и новая книга</translation>
        </message>
        <message>
            <source>Text Editor</source>
            <translation>Текстовый редактор</translation>
        </message>
        <message>
            <source>Terminal</source>
            <translation>Терминал</translation>
        </message>
        <message>
            <source>Screenshot</source>
            <translation>Снимок экрана</translation>
        </message>
        <message>
            <source>Image Viewer</source>
            <translation>Просмотр изображений</translation>
        </message>
        <message>
            <source>Tavlin interface example</source>
            <translation>Пример интерфейса Tavlin</translation>
        </message>
        <message>
            <source>%1, preview on</source>
            <translation>%1, просмотр включён</translation>
        </message>
        <message>
            <source>%1, preview off</source>
            <translation>%1, просмотр выключен</translation>
        </message>
        <message>
            <source>History</source>
            <translation>История</translation>
        </message>
        <message>
            <source>Favorites</source>
            <translation>Избранное</translation>
        </message>
        <message>
            <source>Preview</source>
            <translation>Просмотр</translation>
        </message>
        <message>
            <source>A walk in the park, coffee with friends and a new book for the evening.</source>
            <translation>Прогулка в парке, кофе с друзьями и новая книга на вечер.</translation>
        </message>
        <message>
            <source>Copy</source>
            <translation>Копировать</translation>
        </message>
        <message>
            <source>All set!</source>
            <translation>Всё готово!</translation>
        </message>
        <message>
            <source>Tavlin is ready to help you every day. It lives in the tray, and your history is always close by.</source>
            <translation>Tavlin готов помогать вам каждый день. Он живёт в трее, и история всегда под рукой.</translation>
        </message>
        <message>
            <source>On</source>
            <translation>Вкл.</translation>
        </message>
        <message>
            <source>Off</source>
            <translation>Выкл.</translation>
        </message>
        <message>
            <source>Theme</source>
            <translation>Тема</translation>
        </message>
        <message>
            <source>History view</source>
            <translation>Вид истории</translation>
        </message>
        <message>
            <source>Appearance</source>
            <translation>Оформление</translation>
        </message>
        <message>
            <source>Show preview</source>
            <translation>Показывать просмотр</translation>
        </message>
        <message>
            <source>Make Tavlin yours</source>
            <translation>Настройте Tavlin под себя</translation>
        </message>
        <message>
            <source>Choose a look. You can always change it in Settings.</source>
            <translation>Выберите вид. Его всегда можно изменить в настройках.</translation>
        </message>
        <message>
            <source>Step %1 of %2</source>
            <translation>Шаг %1 из %2</translation>
        </message>
        <message>
            <source>Quick Panel example</source>
            <translation>Пример быстрой панели</translation>
        </message>
        <message>
            <source>Search history…</source>
            <translation>Поиск по истории…</translation>
        </message>
        <message>
            <source>Enter — copy</source>
            <translation>Enter — копировать</translation>
        </message>
        <message>
            <source>History in one keystroke</source>
            <translation>История в одно нажатие</translation>
        </message>
        <message>
            <source>Open the compact Quick Panel from any app, find the record you need and copy it in a flash.</source>
            <translation>Откройте компактную быструю панель из любого приложения, найдите нужную запись и мгновенно скопируйте её.</translation>
        </message>
        <message>
            <source>Change Shortcut</source>
            <translation>Изменить</translation>
        </message>
        <message>
            <source>Reset</source>
            <translation>Сбросить</translation>
        </message>
        <message>
            <source>open Quick Panel</source>
            <translation>открыть панель</translation>
        </message>
        <message>
            <source>switch records</source>
            <translation>выбрать запись</translation>
        </message>
        <message>
            <source>copy</source>
            <translation>копировать</translation>
        </message>
        <message>
            <source>Double-click</source>
            <translation>Двойной щелчок</translation>
        </message>
        <message>
            <source>close</source>
            <translation>закрыть</translation>
        </message>
        <message>
            <source>Quick Panel shortcut: %1</source>
            <translation>Сочетание быстрой панели: %1</translation>
        </message>
        <message>
            <source>Press a new shortcut. Esc cancels.</source>
            <translation>Нажмите новое сочетание. Esc — отмена.</translation>
        </message>
        <message>
            <source>Works without extra permissions.</source>
            <translation>Работает без дополнительных разрешений.</translation>
        </message>
        <message>
            <source>Skip</source>
            <translation>Пропустить</translation>
        </message>
        <message>
            <source>Finish the introduction and start using Tavlin</source>
            <translation>Завершить знакомство и начать пользоваться Tavlin</translation>
        </message>
        <message>
            <source>Back</source>
            <translation>Назад</translation>
        </message>
        <message>
            <source>Get Started</source>
            <translation>Начать</translation>
        </message>
        <message>
            <source>Continue</source>
            <translation>Продолжить</translation>
        </message>
        <message>
            <source>Hi! I’m Tavlin 👋</source>
            <translation>Привет! Я Tavlin 👋</translation>
        </message>
        <message>
            <source>I’ll help you keep the text, links, images and code you copy. It will all be at hand whenever you need it.</source>
            <translation>Я сохраню текст, ссылки, изображения и код, которые вы копируете. Всё будет под рукой, когда понадобится.</translation>
        </message>
        <message>
            <source>Your history stays on your computer</source>
            <translation>История остаётся на вашем компьютере</translation>
        </message>
        <message>
            <source>Tavlin keeps your clipboard history right on your computer. No sign-up and no cloud sync.</source>
            <translation>Tavlin хранит историю буфера обмена прямо на вашем компьютере. Без регистрации и облачной синхронизации.</translation>
        </message>
        <message>
            <source>Welcome to Tavlin</source>
            <translation>Добро пожаловать в Tavlin</translation>
        </message>
        <message>
            <source>%1 (not available)</source>
            <translation>%1 (недоступно)</translation>
        </message>
        <message>
            <source>Up Arrow, Down Arrow</source>
            <translation>Стрелка вверх, стрелка вниз</translation>
        </message>
        <message>
            <source>Enter</source>
            <translation>Ввод</translation>
        </message>
        <message>
            <source>Escape</source>
            <translation>Escape</translation>
        </message>
    </context>
    <context>
        <name>RecordMenu</name>
        <message>
            <source>Record</source>
            <translation>Запись</translation>
        </message>
        <message>
            <source>Copy</source>
            <translation>Скопировать</translation>
        </message>
        <message>
            <source>Remove from Favorites</source>
            <translation>Убрать из избранного</translation>
        </message>
        <message>
            <source>Add to Favorites</source>
            <translation>Добавить в избранное</translation>
        </message>
        <message>
            <source>Copies from This App</source>
            <translation>Копии из этого приложения</translation>
        </message>
        <message>
            <source>Delete</source>
            <translation>Удалить</translation>
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
            <translation>Не удалось подготовить просмотр изображения.</translation>
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
            <translation>Оформленный текст</translation>
        </message>
        <message>
            <source>Image</source>
            <translation>Изображение</translation>
        </message>
        <message>
            <source>PDF document</source>
            <translation>PDF-документ</translation>
        </message>
        <message numerus="yes">
            <source>%n character(s)</source>
            <translation>
                <numerusform>%n символ</numerusform>
                <numerusform>%n символа</numerusform>
                <numerusform>%n символов</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>%n line(s)</source>
            <translation>
                <numerusform>%n строка</numerusform>
                <numerusform>%n строки</numerusform>
                <numerusform>%n строк</numerusform>
            </translation>
        </message>
        <message>
            <source>Image preview</source>
            <translation>Просмотр изображения</translation>
        </message>
        <message>
            <source>Rich text</source>
            <translation>Оформленный текст</translation>
        </message>
        <message>
            <source>Link</source>
            <translation>Ссылка</translation>
        </message>
        <message>
            <source>File</source>
            <translation>Файл</translation>
        </message>
        <message>
            <source>Document</source>
            <translation>Документ</translation>
        </message>
        <message>
            <source>Unknown source</source>
            <translation>Неизвестный источник</translation>
        </message>
        <message>
            <source>Type: %1</source>
            <translation>Тип: %1</translation>
        </message>
        <message>
            <source>Preview</source>
            <translation>Просмотр</translation>
        </message>
        <message>
            <source>Open in Browser</source>
            <translation>Открыть в браузере</translation>
        </message>
        <message>
            <source>Open File</source>
            <translation>Открыть файл</translation>
        </message>
        <message>
            <source>Show in Folder</source>
            <translation>Показать в папке</translation>
        </message>
        <message>
            <source>The file is no longer at its original location</source>
            <translation>Файла больше нет на прежнем месте</translation>
        </message>
        <message>
            <source>Unfavorite</source>
            <translation>Убрать из избранного</translation>
        </message>
        <message>
            <source>Favorite</source>
            <translation>В избранное</translation>
        </message>
        <message>
            <source>Copied</source>
            <translation>Скопировано</translation>
        </message>
        <message>
            <source>Copy</source>
            <translation>Копировать</translation>
        </message>
        <message>
            <source>It’s quiet here for now</source>
            <translation>Пока здесь тихо</translation>
        </message>
        <message>
            <source>No favorites yet</source>
            <translation>В избранном пока пусто</translation>
        </message>
        <message>
            <source>Nothing turned up</source>
            <translation>Ничего не нашлось</translation>
        </message>
        <message>
            <source>Good finds shouldn’t get lost.
Copy some text, a link or an image — it will stay here.</source>
            <translation>Хорошие находки не должны теряться.
Скопируйте текст, ссылку или картинку — они останутся здесь.</translation>
        </message>
        <message>
            <source>Your little treasures.
Star the records you want to come back to.</source>
            <translation>Ваши маленькие сокровища.
Отмечайте звёздочкой записи, к которым хотите вернуться.</translation>
        </message>
        <message>
            <source>Shall we try another way?
Change the search or reset the filters — your history hasn’t gone anywhere.</source>
            <translation>Попробуем по-другому?
Измените запрос или сбросьте фильтры — ваша история никуда не делась.</translation>
        </message>
        <message>
            <source>Reset Filters</source>
            <translation>Сбросить фильтры</translation>
        </message>
        <message>
            <source>Now</source>
            <translation>Сейчас</translation>
        </message>
        <message numerus="yes">
            <source>%n min</source>
            <translation>
                <numerusform>%n мин</numerusform>
                <numerusform>%n мин</numerusform>
                <numerusform>%n мин</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>%n h</source>
            <translation>
                <numerusform>%n ч</numerusform>
                <numerusform>%n ч</numerusform>
                <numerusform>%n ч</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>%n d</source>
            <translation>
                <numerusform>%n дн.</numerusform>
                <numerusform>%n дн.</numerusform>
                <numerusform>%n дн.</numerusform>
            </translation>
        </message>
        <message>
            <source>Match System</source>
            <translation>Как в системе</translation>
        </message>
        <message>
            <source>Light</source>
            <translation>Светлая</translation>
        </message>
        <message>
            <source>Dark</source>
            <translation>Тёмная</translation>
        </message>
        <message numerus="yes">
            <source>Files (%n)</source>
            <translation>
                <numerusform>Файлы (%n)</numerusform>
                <numerusform>Файлы (%n)</numerusform>
                <numerusform>Файлы (%n)</numerusform>
            </translation>
        </message>
        <message>
            <source>General</source>
            <translation>Основные</translation>
        </message>
        <message>
            <source>Interface</source>
            <translation>Интерфейс</translation>
        </message>
        <message>
            <source>Quick Panel</source>
            <translation>Быстрая панель</translation>
        </message>
        <message>
            <source>History &amp; Privacy</source>
            <translation>История и приватность</translation>
        </message>
        <message>
            <source>Updates aren’t available in this build. New versions are on the download page.</source>
            <translation>В этой сборке обновления недоступны. Новые версии — на странице загрузки.</translation>
        </message>
        <message>
            <source>Couldn’t start checking for updates: %1</source>
            <translation>Не удалось начать проверку обновлений: %1</translation>
        </message>
        <message>
            <source>Tavlin hasn’t checked for updates yet.</source>
            <translation>Tavlin ещё не проверял обновления.</translation>
        </message>
        <message>
            <source>Last checked: %1.</source>
            <translation>Последняя проверка: %1.</translation>
        </message>
        <message>
            <source>Tavlin %1 is available; you have %2. Install it with your package manager or get it from the download page.</source>
            <translation>Доступен Tavlin %1, у вас %2. Установите его через менеджер пакетов или скачайте на странице загрузки.</translation>
        </message>
        <message>
            <source>Tavlin %1 is the newest version available.</source>
            <translation>Tavlin %1 — последняя доступная версия.</translation>
        </message>
        <message>
            <source>Cards</source>
            <translation>Карточки</translation>
        </message>
        <message>
            <source>List</source>
            <translation>Список</translation>
        </message>
        <message>
            <source>System Default</source>
            <translation>Как в системе</translation>
        </message>
        <message>
            <source>Tavlin does not start automatically.</source>
            <translation>Tavlin не запускается автоматически.</translation>
        </message>
        <message>
            <source>Approval needed: turn on Tavlin in your desktop’s startup applications settings.</source>
            <translation>Нужно подтверждение: включите Tavlin в настройках автозапуска вашего рабочего стола.</translation>
        </message>
        <message>
            <source>This computer couldn’t find Tavlin. Install the app and open it again.</source>
            <translation>Этот компьютер не нашёл Tavlin. Установите приложение и откройте его снова.</translation>
        </message>
        <message>
            <source>Available only in the installed Tavlin app.</source>
            <translation>Доступно только в установленном приложении Tavlin.</translation>
        </message>
        <message>
            <source>Could not turn on launch at login: %1</source>
            <translation>Не удалось включить запуск при входе в систему: %1</translation>
        </message>
        <message>
            <source>Could not turn off launch at login: %1</source>
            <translation>Не удалось выключить запуск при входе в систему: %1</translation>
        </message>
        <message>
            <source>Launch at login is available only in the installed Tavlin app.</source>
            <translation>Запуск при входе в систему доступен только в установленном приложении Tavlin.</translation>
        </message>
        <message>
            <source>You’re up to date.</source>
            <translation>У вас последняя версия.</translation>
        </message>
        <message>
            <source>A new version of Tavlin is available.</source>
            <translation>Доступна новая версия Tavlin.</translation>
        </message>
        <message>
            <source>Tavlin couldn’t check for updates.</source>
            <translation>Tavlin не удалось проверить обновления.</translation>
        </message>
        <message>
            <source>Close</source>
            <translation>Закрыть</translation>
        </message>
        <message>
            <source>Open Download Page</source>
            <translation>Открыть страницу загрузки</translation>
        </message>
        <message>
            <source>Settings</source>
            <translation>Настройки</translation>
        </message>
        <message>
            <source>Space</source>
            <translation>Пробел</translation>
        </message>
        <message>
            <source>Key %1</source>
            <translation>Клавиша %1</translation>
        </message>
        <message>
            <source>Could not register the shortcut. Choose a different one or try again.</source>
            <translation>Не удалось назначить сочетание клавиш. Выберите другое или попробуйте ещё раз.</translation>
        </message>
        <message>
            <source>Use a key together with Ctrl, Alt or Super. Enter, Tab and Esc are not available.</source>
            <translation>Используйте клавишу вместе с Ctrl, Alt или Super. Enter, Tab и Esc недоступны.</translation>
        </message>
        <message>
            <source>This shortcut is taken by the system or another app. Choose a different one.</source>
            <translation>Это сочетание уже занято системой или другим приложением. Выберите другое.</translation>
        </message>
        <message>
            <source>Show Tavlin</source>
            <translation>Показать Tavlin</translation>
        </message>
        <message>
            <source>Settings…</source>
            <translation>Настройки…</translation>
        </message>
        <message>
            <source>Quit Tavlin</source>
            <translation>Выйти из Tavlin</translation>
        </message>
        <message>
            <source>Couldn’t connect to the update server. Check your internet connection and try again.</source>
            <translation>Не удалось подключиться к серверу обновлений. Проверьте подключение к интернету и попробуйте ещё раз.</translation>
        </message>
        <message>
            <source>The update server didn’t answer in time. Try again later.</source>
            <translation>Сервер обновлений не ответил вовремя. Попробуйте позже.</translation>
        </message>
        <message>
            <source>The update server redirected the request too many times.</source>
            <translation>Сервер обновлений перенаправил запрос слишком много раз.</translation>
        </message>
        <message>
            <source>The update server redirected the request to an address Tavlin doesn’t trust.</source>
            <translation>Сервер обновлений перенаправил запрос на адрес, которому Tavlin не доверяет.</translation>
        </message>
        <message>
            <source>The update server answered with an error (%1).</source>
            <translation>Сервер обновлений ответил ошибкой (%1).</translation>
        </message>
        <message>
            <source>The update feed is too large.</source>
            <translation>Лента обновлений слишком большая.</translation>
        </message>
        <message>
            <source>The update feed couldn’t be read.</source>
            <translation>Не удалось прочитать ленту обновлений.</translation>
        </message>
        <message>
            <source>Tavlin will start in the tray without opening the history window.</source>
            <translation>Tavlin запустится в системном трее, не открывая окно истории.</translation>
        </message>
        <message>
            <source>Tavlin is already running but does not answer. If it is stuck, end it and start Tavlin again.</source>
            <translation>Tavlin уже запущен, но не отвечает. Если он завис, завершите его и запустите Tavlin снова.</translation>
        </message>
        <message>
            <source>Tavlin needs an X11 display: DISPLAY is not set.</source>
            <translation>Tavlin нужен дисплей X11: переменная DISPLAY не задана.</translation>
        </message>
        <message>
            <source>Tavlin needs an X11 display: cannot connect to %1.</source>
            <translation>Tavlin нужен дисплей X11: не удаётся подключиться к %1.</translation>
        </message>
        <message>
            <source>Don’t save history from an app</source>
            <translation>Не сохранять историю из приложения</translation>
        </message>
        <message>
            <source>Search applications</source>
            <translation>Поиск приложений</translation>
        </message>
        <message>
            <source>Installed applications</source>
            <translation>Установленные приложения</translation>
        </message>
        <message>
            <source>Other…</source>
            <translation>Другое…</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>Отмена</translation>
        </message>
        <message>
            <source>Add</source>
            <translation>Добавить</translation>
        </message>
        <message>
            <source>Desktop entries (*.desktop)</source>
            <translation>Файлы приложений (*.desktop)</translation>
        </message>
        <message>
            <source>Not found on this computer</source>
            <translation>Не найдено на этом компьютере</translation>
        </message>
        <message>
            <source>Remove from Exclusions</source>
            <translation>Удалить из исключений</translation>
        </message>
        <message>
            <source>Remove %1 from exclusions</source>
            <translation>Удалить %1 из исключений</translation>
        </message>
        <message>
            <source>Add App</source>
            <translation>Добавить приложение</translation>
        </message>
        <message>
            <source>The list is empty: copies from all apps are saved, except for the built-in exclusions.</source>
            <translation>Список пуст: копии из всех приложений сохраняются, кроме встроенных исключений.</translation>
        </message>
        <message>
            <source>Don’t save history from apps</source>
            <translation>Не сохранять историю из приложений</translation>
        </message>
        <message>
            <source>Tavlin doesn’t save new records while a selected app is active. The app is detected from the active window and may be detected inaccurately; if it can’t be detected, the record is saved as usual. History that is already saved isn’t deleted.</source>
            <translation>Tavlin не сохраняет новые записи, пока активно выбранное приложение. Приложение определяется по активному окну и может быть определено неточно; если определить его не удаётся, запись сохраняется как обычно. Уже сохранённая история не удаляется.</translation>
        </message>
        <message>
            <source>Always excluded: 1Password, Bitwarden and data that apps mark as concealed or transient.</source>
            <translation>Всегда исключаются: 1Password, Bitwarden и данные, которые приложения помечают как скрытые или временные.</translation>
        </message>
        <message>
            <source>From History</source>
            <translation>Из истории</translation>
        </message>
        <message>
            <source>Choose App…</source>
            <translation>Выбрать приложение…</translation>
        </message>
        <message>
            <source>Open Tavlin at login</source>
            <translation>Открывать Tavlin при входе</translation>
        </message>
        <message>
            <source>Startup</source>
            <translation>Запуск</translation>
        </message>
        <message>
            <source>Open Startup Applications Settings</source>
            <translation>Открыть настройки автозапуска</translation>
        </message>
        <message>
            <source>Number of records</source>
            <translation>Число записей</translation>
        </message>
        <message>
            <source>Record data size</source>
            <translation>Объём данных записей</translation>
        </message>
        <message>
            <source>History storage</source>
            <translation>Хранение истории</translation>
        </message>
        <message>
            <source>Favorites have filled the record limit: only the latest ordinary record is kept.</source>
            <translation>Избранное заполнило лимит записей: сохраняется только последняя обычная запись.</translation>
        </message>
        <message>
            <source>When the history reaches a limit, Tavlin automatically deletes the oldest records. Favorites are kept. A single record can be up to %1.</source>
            <translation>Когда история достигает лимита, Tavlin автоматически удаляет самые старые записи. Избранное сохраняется. Одна запись может занимать до %1.</translation>
        </message>
        <message numerus="yes">
            <source>Now: %Ln records, %1 of data, %2 in favorites.</source>
            <translation>
                <numerusform>Сейчас: %Ln запись, %1 данных, %2 в избранном.</numerusform>
                <numerusform>Сейчас: %Ln записи, %1 данных, %2 в избранном.</numerusform>
                <numerusform>Сейчас: %Ln записей, %1 данных, %2 в избранном.</numerusform>
            </translation>
        </message>
        <message>
            <source>Theme</source>
            <translation>Тема</translation>
        </message>
        <message>
            <source>History view</source>
            <translation>Вид истории</translation>
        </message>
        <message>
            <source>Show preview</source>
            <translation>Показывать просмотр</translation>
        </message>
        <message>
            <source>History display</source>
            <translation>Отображение истории</translation>
        </message>
        <message>
            <source>Changes are kept between launches.</source>
            <translation>Изменения сохраняются между запусками.</translation>
        </message>
        <message>
            <source>Replay Introduction</source>
            <translation>Повторить знакомство</translation>
        </message>
        <message>
            <source>The new language will be used after Tavlin restarts. History and settings are kept.</source>
            <translation>Новый язык будет использован после перезапуска Tavlin. История и настройки сохранятся.</translation>
        </message>
        <message>
            <source>Restart Tavlin</source>
            <translation>Перезапустить Tavlin</translation>
        </message>
        <message>
            <source>App language</source>
            <translation>Язык приложения</translation>
        </message>
        <message>
            <source>Language</source>
            <translation>Язык</translation>
        </message>
        <message>
            <source>“System Default” follows the language of your desktop. The choice applies only to Tavlin.</source>
            <translation>«Как в системе» следует языку рабочего стола. Выбор действует только для Tavlin.</translation>
        </message>
        <message numerus="yes">
            <source>Delete %n records?</source>
            <translation>
                <numerusform>Удалить %n запись?</numerusform>
                <numerusform>Удалить %n записи?</numerusform>
                <numerusform>Удалить %n записей?</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>New limit: %Ln records and %1.</source>
            <translation>
                <numerusform>Новый лимит: %Ln запись и %1.</numerusform>
                <numerusform>Новый лимит: %Ln записи и %1.</numerusform>
                <numerusform>Новый лимит: %Ln записей и %1.</numerusform>
            </translation>
        </message>
        <message>
            <source>Oldest ordinary records to be deleted: %1 (%2).</source>
            <translation>Будут удалены самые старые обычные записи: %1 (%2).</translation>
        </message>
        <message>
            <source>Favorites (%1) will be kept. This can’t be undone.</source>
            <translation>Избранное (%1) сохранится. Это действие нельзя отменить.</translation>
        </message>
        <message>
            <source>Delete and Apply</source>
            <translation>Удалить и применить</translation>
        </message>
        <message>
            <source>Settings sections</source>
            <translation>Разделы настроек</translation>
        </message>
        <message>
            <source>Press a shortcut…</source>
            <translation>Нажмите сочетание…</translation>
        </message>
        <message>
            <source>Change Quick Panel shortcut</source>
            <translation>Изменить сочетание быстрой панели</translation>
        </message>
        <message>
            <source>Open a compact history from any app.</source>
            <translation>Компактная история из любого приложения.</translation>
        </message>
        <message>
            <source>Keyboard shortcut</source>
            <translation>Сочетание клавиш</translation>
        </message>
        <message>
            <source>Reset</source>
            <translation>Сбросить</translation>
        </message>
        <message>
            <source>Press a shortcut. Esc cancels.</source>
            <translation>Нажмите сочетание. Esc — отмена.</translation>
        </message>
        <message>
            <source>Click the shortcut to change it.</source>
            <translation>Нажмите на сочетание, чтобы изменить его.</translation>
        </message>
        <message>
            <source>Check for updates automatically</source>
            <translation>Проверять обновления автоматически</translation>
        </message>
        <message>
            <source>Check for Updates</source>
            <translation>Проверить обновления</translation>
        </message>
        <message>
            <source>Updates</source>
            <translation>Обновления</translation>
        </message>
        <message>
            <source>Version %1</source>
            <translation>Версия %1</translation>
        </message>
        <message>
            <source>Could not copy the record. Try again.</source>
            <translation>Не удалось скопировать запись. Попробуйте ещё раз.</translation>
        </message>
        <message>
            <source>A private clipboard history in the tray.</source>
            <translation>Личная история буфера обмена в трее.</translation>
        </message>
        <message>
            <source>Show this help and exit.</source>
            <translation>Показать эту справку и выйти.</translation>
        </message>
        <message>
            <source>Show the version and exit.</source>
            <translation>Показать версию и выйти.</translation>
        </message>
        <message>
            <source>Unknown argument '%1'.</source>
            <translation>Неизвестный аргумент «%1».</translation>
        </message>
        <message>
            <source>The history can’t be changed: %1</source>
            <translation>Историю нельзя изменить: %1</translation>
        </message>
        <message>
            <source>Another program is using the history. Your copies are kept and saved as soon as it’s free.</source>
            <translation>Историей сейчас пользуется другая программа. Ваши копии сохранятся, как только она освободится.</translation>
        </message>
        <message>
            <source>Website</source>
            <translation>Сайт</translation>
        </message>
        <message>
            <source>Rich Text</source>
            <translation>Оформленный текст</translation>
        </message>
        <message>
            <source>No applications found</source>
            <translation>Приложения не найдены</translation>
        </message>
    </context>
    <context>
        <name>tavlin::ClearHistorySheet</name>
        <message>
            <source>Clear History?</source>
            <translation>Очистить историю?</translation>
        </message>
        <message>
            <source>Clearing affects the entire history, regardless of search and filters. This can’t be undone.</source>
            <translation>Очистка затрагивает всю историю, независимо от поиска и фильтров. Это нельзя отменить.</translation>
        </message>
        <message>
            <source>What to keep</source>
            <translation>Что оставить</translation>
        </message>
        <message>
            <source>Delete all records</source>
            <translation>Удалить все записи</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>Отмена</translation>
        </message>
        <message>
            <source>Clear</source>
            <translation>Очистить</translation>
        </message>
        <message numerus="yes">
            <source>Keep favorites (%n)</source>
            <translation>
                <numerusform>Оставить избранное (%n)</numerusform>
                <numerusform>Оставить избранное (%n)</numerusform>
                <numerusform>Оставить избранное (%n)</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>To be deleted: %n</source>
            <translation>
                <numerusform>Будет удалено: %n</numerusform>
                <numerusform>Будет удалено: %n</numerusform>
                <numerusform>Будет удалено: %n</numerusform>
            </translation>
        </message>
    </context>
    <context>
        <name>tavlin::ContentView</name>
        <message>
            <source>Try Again</source>
            <translation>Повторить</translation>
        </message>
        <message>
            <source>Showing %1 of %2</source>
            <translation>Показано %1 из %2</translation>
        </message>
        <message numerus="yes">
            <source>Records: %n</source>
            <translation>
                <numerusform>Записей: %n</numerusform>
                <numerusform>Записей: %n</numerusform>
                <numerusform>Записей: %n</numerusform>
            </translation>
        </message>
    </context>
    <context>
        <name>tavlin::HistoryHeader</name>
        <message>
            <source>Search history…</source>
            <translation>Поиск по истории…</translation>
        </message>
        <message>
            <source>Ctrl F</source>
            <translation>Ctrl F</translation>
        </message>
        <message>
            <source>Clear Search</source>
            <translation>Очистить поиск</translation>
        </message>
        <message>
            <source>More Actions</source>
            <translation>Другие действия</translation>
        </message>
        <message>
            <source>Clear All History…</source>
            <translation>Очистить всю историю…</translation>
        </message>
        <message>
            <source>Reset Filters</source>
            <translation>Сбросить фильтры</translation>
        </message>
        <message>
            <source>Filter by app: you can choose several</source>
            <translation>Фильтр по приложению: можно выбрать несколько</translation>
        </message>
        <message>
            <source>Hide Preview</source>
            <translation>Скрыть просмотр</translation>
        </message>
        <message>
            <source>Show Preview</source>
            <translation>Показать просмотр</translation>
        </message>
    </context>
    <context>
        <name>tavlin::HistoryRecordsArea</name>
        <message>
            <source>Select a record</source>
            <translation>Выберите запись</translation>
        </message>
    </context>
    <context>
        <name>tavlin::HistorySidebar</name>
        <message>
            <source>Tavlin</source>
            <translation>Tavlin</translation>
        </message>
        <message>
            <source>Settings</source>
            <translation>Настройки</translation>
        </message>
    </context>
    <context>
        <name>tavlin::QuickPanel</name>
        <message>
            <source>Tavlin Quick Panel</source>
            <translation>Быстрая панель Tavlin</translation>
        </message>
    </context>
    <context>
        <name>tavlin::QuickPanelView</name>
        <message>
            <source>Favorites Only</source>
            <translation>Только избранное</translation>
        </message>
        <message>
            <source>Enabled</source>
            <translation>Включено</translation>
        </message>
        <message>
            <source>Disabled</source>
            <translation>Выключено</translation>
        </message>
        <message>
            <source>↑↓ select</source>
            <translation>↑↓ выбрать</translation>
        </message>
        <message>
            <source>↵ copy</source>
            <translation>↵ копировать</translation>
        </message>
        <message>
            <source>Ctrl ↵ history</source>
            <translation>Ctrl ↵ история</translation>
        </message>
        <message>
            <source>Nothing found</source>
            <translation>Ничего не найдено</translation>
        </message>
        <message>
            <source>No favorites yet</source>
            <translation>В избранном пока пусто</translation>
        </message>
        <message>
            <source>History is empty</source>
            <translation>История пуста</translation>
        </message>
        <message>
            <source>Recent</source>
            <translation>Недавние</translation>
        </message>
    </context>
    <context>
        <name>tavlin::QuickSearchField</name>
        <message>
            <source>Search history…</source>
            <translation>Поиск по истории…</translation>
        </message>
    </context>
    <context>
        <name>tavlin::SourceFilterPopover</name>
        <message>
            <source>Unknown source</source>
            <translation>Неизвестный источник</translation>
        </message>
        <message>
            <source>All Apps</source>
            <translation>Все приложения</translation>
        </message>
        <message numerus="yes">
            <source>Apps: %n</source>
            <translation>
                <numerusform>Приложений: %n</numerusform>
                <numerusform>Приложений: %n</numerusform>
                <numerusform>Приложений: %n</numerusform>
            </translation>
        </message>
        <message>
            <source>Apps</source>
            <translation>Приложения</translation>
        </message>
        <message>
            <source>Reset</source>
            <translation>Сбросить</translation>
        </message>
        <message>
            <source>Show history from all apps</source>
            <translation>Показать историю из всех приложений</translation>
        </message>
        <message numerus="yes">
            <source>Selected: %n</source>
            <translation>
                <numerusform>Выбрано: %n</numerusform>
                <numerusform>Выбрано: %n</numerusform>
                <numerusform>Выбрано: %n</numerusform>
            </translation>
        </message>
        <message>
            <source>No apps in history</source>
            <translation>В истории нет приложений</translation>
        </message>
        <message numerus="yes">
            <source>Records: %n</source>
            <translation>
                <numerusform>Записей: %n</numerusform>
                <numerusform>Записей: %n</numerusform>
                <numerusform>Записей: %n</numerusform>
            </translation>
        </message>
    </context>
</TS>
