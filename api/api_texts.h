// Every status-bar and dialog text of the friend list, message and status
// features, in one place. No windows.h.
#pragma once

// A message command with no row selected
constexpr wchar_t TEXT_NO_CONTACT[] = L"Ни один контакт не выделен";

// The friend list
constexpr wchar_t TEXT_LIST_EMPTY[] = L"Список друзей пуст";
constexpr wchar_t TEXT_SERVER_REFUSED[] = L"Сервер отклонил запрос";
constexpr wchar_t TEXT_REQUEST_TOO_LONG[] = L"Слишком длинный запрос";
constexpr wchar_t TEXT_FRIENDS_LOADED_FORMAT[] = L"Загружено %d друзей";
constexpr wchar_t TEXT_MUTUAL_LOADED_FORMAT[] = L"Загружено %d общих друзей";

// Sending a message
constexpr wchar_t TEXT_MESSAGE_SENT[] = L"Сообщение успешно отправлено";
constexpr wchar_t TEXT_MESSAGE_FAILED[] = L"Ошибка при отправке";
constexpr wchar_t TEXT_AUTH_ERROR[] = L"Ошибка с авторизацией";
constexpr wchar_t TEXT_CAPTCHA_NEEDED[] = L"Требуется captcha для ввода";
constexpr wchar_t TEXT_PRIVACY[] = L"Операция недоступна из-за приватности";
constexpr wchar_t TEXT_CONTACT_NOT_FOUND[] = L"Контакт не найден в списке";
constexpr wchar_t TEXT_MESSAGE_TOO_LONG[] = L"Сообщение слишком длинное";
constexpr wchar_t TEXT_SEND_MESSAGE[] = L"Отправить сообщение";
// The captcha asked before a message was closed.
constexpr wchar_t TEXT_MESSAGE_CANCELLED[] = L"Отправка сообщения отменена";

// Setting the status
constexpr wchar_t TEXT_STATUS_SET[] = L"Статус успешно установлен.";
constexpr wchar_t TEXT_STATUS_FAILED[] = L"Ошибка при установке статуса.";
constexpr wchar_t TEXT_STATUS_ERROR[] = L"Ошибка.";
constexpr wchar_t TEXT_STATUS_TOO_LONG[] = L"Статус слишком длинный";
constexpr wchar_t TEXT_SET_STATUS[] = L"Установить статус";

// Both
constexpr wchar_t TEXT_SERVER_ANSWER_BAD[] = L"Неверный ответ сервера";
// Written in one session, due to go out in another: nothing is sent.
constexpr wchar_t TEXT_SESSION_CHANGED[] = L"Сессия сменилась, ничего не отправлено";
constexpr wchar_t TEXT_SESSION_BAD[] = L"Неверные данные сессии";

// The list of messages sent
constexpr wchar_t TEXT_MESSAGE_SENDING[] = L"отправляется";
constexpr wchar_t TEXT_NO_MESSAGES[] = L"Сообщений пока нет";
constexpr wchar_t TEXT_NO_WORKER[] = L"Не удалось начать отправку";
