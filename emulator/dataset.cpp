#include "emulator/dataset.h"

#include <algorithm>
#include <cstdlib>

#include "emulator/cp1251.h"
#include "emulator/query.h"

namespace emulator {

namespace {

struct DemoFriend {
    std::int64_t id;
    const char* presence;  // "0", "1" or "~"
    const char* marks;     // m: mutual, n: new, p: accepts no messages
    const char* name;      // UTF-8
};

// Written in UTF-8 and sent in Windows-1251. Ё names, a quoted nickname and
// one name used twice keep the client's sorting and JSON escapes honest.
constexpr DemoFriend kDemoFriends[] = {
    {2001, "1", "m", "Анна Иванова"},
    {2002, "0", "", "Борис Петров"},
    {2003, "~", "n", "Алёна Ёлкина"},
    {2004, "1", "", "Виктор Смирнов"},
    {2005, "0", "m", "Галина Кузнецова"},
    {2006, "~", "", "Дмитрий Соколов"},
    {2007, "0", "", "Евгения Попова"},
    {2008, "1", "", "Фёдор Ёжиков"},
    {2009, "0", "", "Жанна Лебедева"},
    {2010, "~", "m", "Зоя Козлова"},
    {2011, "0", "", "Игорь Новиков"},
    {2012, "1", "", "Ксения Морозова"},
    {2013, "0", "n", "Леонид Волков"},
    {2014, "~", "", "Мария Соловьёва"},
    {2015, "0", "", "Никита Васильев"},
    {2016, "1", "", "Ольга \"Лёля\" Зайцева"},
    {2017, "0", "m", "Павел Павлов"},
    {2018, "~", "", "Раиса Семёнова"},
    {2019, "0", "p", "Сергей Голубев"},
    {2020, "1", "n", "Татьяна Виноградова"},
    {2021, "0", "", "Ульяна Богданова"},
    {2022, "~", "", "Филипп Воробьёв"},
    {2023, "0", "", "Харитон Фёдоров"},
    {2024, "0", "", "Цветана Михайлова"},
    {2025, "1", "m", "Чеслав Беляев"},
    {2026, "0", "", "Шамиль Тарасов"},
    {2027, "~", "", "Эльвира Белова"},
    {2028, "0", "n", "Юрий Комаров"},
    {2029, "1", "", "Яна Орлова"},
    {2030, "0", "", "Анна Иванова"},
    {2031, "0", "", "Елена Киселёва"},
};

constexpr const char* kMaleNames[] = {
    "Александр",
    "Алексей",
    "Андрей",
    "Антон",
    "Артём",
    "Борис",
    "Вадим",
    "Валерий",
    "Василий",
    "Виктор",
    "Владимир",
    "Глеб",
    "Григорий",
    "Даниил",
    "Денис",
    "Дмитрий",
    "Евгений",
    "Егор",
    "Иван",
    "Игорь",
    "Илья",
    "Кирилл",
    "Константин",
    "Лев",
    "Максим",
    "Михаил",
    "Никита",
    "Николай",
    "Олег",
    "Павел",
    "Пётр",
    "Роман",
    "Семён",
    "Сергей",
    "Степан",
    "Тимофей",
    "Фёдор",
    "Юрий",
    "Ярослав",
    "Эдуард",
};
constexpr const char* kFemaleNames[] = {
    "Александра",
    "Алина",
    "Алёна",
    "Анастасия",
    "Анна",
    "Валентина",
    "Валерия",
    "Вера",
    "Виктория",
    "Галина",
    "Дарья",
    "Евгения",
    "Екатерина",
    "Елена",
    "Елизавета",
    "Жанна",
    "Зинаида",
    "Ирина",
    "Карина",
    "Ксения",
    "Лариса",
    "Любовь",
    "Людмила",
    "Маргарита",
    "Марина",
    "Мария",
    "Надежда",
    "Наталья",
    "Нина",
    "Оксана",
    "Ольга",
    "Полина",
    "Светлана",
    "София",
    "Тамара",
    "Татьяна",
    "Ульяна",
    "Юлия",
    "Яна",
    "Ярослава",
};
// Male forms; every one takes "а" for the female form.
constexpr const char* kSurnames[] = {
    "Иванов",
    "Смирнов",
    "Кузнецов",
    "Попов",
    "Васильев",
    "Петров",
    "Соколов",
    "Михайлов",
    "Новиков",
    "Фёдоров",
    "Морозов",
    "Волков",
    "Алексеев",
    "Лебедев",
    "Семёнов",
    "Егоров",
    "Павлов",
    "Козлов",
    "Степанов",
    "Николаев",
    "Орлов",
    "Андреев",
    "Макаров",
    "Никитин",
    "Захаров",
    "Зайцев",
    "Соловьёв",
    "Борисов",
    "Яковлев",
    "Григорьев",
    "Романов",
    "Воробьёв",
    "Сергеев",
    "Кузьмин",
    "Фролов",
    "Александров",
    "Дмитриев",
    "Королёв",
    "Гусев",
    "Киселёв",
    "Ильин",
    "Максимов",
    "Поляков",
    "Сорокин",
    "Виноградов",
    "Ковалёв",
    "Белов",
    "Медведев",
    "Антонов",
    "Тарасов",
    "Жуков",
    "Баранов",
    "Филиппов",
    "Комаров",
    "Давыдов",
    "Беляев",
    "Герасимов",
    "Богданов",
    "Осипов",
    "Сидоров",
    "Матвеев",
    "Титов",
    "Марков",
    "Миронов",
    "Крылов",
    "Куликов",
    "Карпов",
    "Власов",
    "Мельников",
    "Денисов",
    "Гаврилов",
    "Тихонов",
    "Казаков",
    "Афанасьев",
    "Данилов",
    "Савельев",
    "Тимофеев",
    "Фомин",
    "Чернов",
    "Абрамов",
    "Мартынов",
    "Ефимов",
    "Федотов",
    "Щербаков",
    "Назаров",
    "Калинин",
    "Исаев",
    "Чернышёв",
    "Быков",
    "Маслов",
    "Родионов",
    "Коновалов",
    "Лазарев",
    "Воронин",
    "Климов",
    "Филатов",
    "Пономарёв",
    "Голубев",
    "Кудрявцев",
    "Прохоров",
    "Наумов",
    "Потапов",
    "Журавлёв",
    "Овчинников",
    "Трофимов",
    "Леонов",
    "Соболев",
    "Ермаков",
    "Колесников",
    "Гончаров",
    "Емельянов",
    "Никифоров",
    "Грачёв",
    "Котов",
    "Гришин",
    "Ефремов",
    "Архипов",
    "Громов",
    "Кириллов",
    "Малышев",
    "Панов",
    "Моисеев",
    "Румянцев",
    "Акимов",
    "Кондратьев",
    "Бирюков",
    "Горбунов",
    "Анисимов",
    "Ерёмин",
    "Галкин",
    "Лукьянов",
    "Михеев",
    "Скворцов",
    "Юдин",
    "Белоусов",
    "Нестеров",
    "Симонов",
    "Прокофьев",
    "Харитонов",
    "Князев",
    "Цветков",
    "Левин",
    "Воронов",
    "Аксёнов",
    "Мальцев",
    "Логинов",
    "Горшков",
    "Савин",
    "Краснов",
    "Майоров",
    "Демидов",
    "Елисеев",
    "Рыбаков",
    "Сафонов",
    "Дёмин",
    "Хохлов",
    "Жданов",
    "Ширяев",
    "Шестаков",
    "Шубин",
    "Щукин",
    "Юсупов",
    "Яшин",
    "Ушаков",
    "Уваров",
    "Цыганов",
    "Чистяков",
    "Эминов",
};

template <typename T, std::size_t N> constexpr std::size_t CountOf(const T (&)[N])
{
    return N;
}

// Small deterministic generator: the lists must not change between runs.
struct Lcg {
    std::uint32_t state;
    std::uint32_t Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

bool ParsePresence(std::string_view text, Presence& out)
{
    if (text == "0")
        out = Presence::Offline;
    else if (text == "1")
        out = Presence::Online;
    else if (text == "~")
        out = Presence::Rotating;
    else
        return false;
    return true;
}

bool ParsePositive(std::string_view text, std::int64_t& out)
{
    std::int64_t v = 0;
    if (!ParseDecimal(text, v) || v <= 0)
        return false;
    out = v;
    return true;
}

// Splits off the next space-separated word of `rest`.
std::string_view NextWord(std::string_view& rest)
{
    const size_t start = rest.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        rest = {};
        return {};
    }
    rest.remove_prefix(start);
    size_t end = rest.find_first_of(" \t");
    if (end == std::string_view::npos)
        end = rest.size();
    const std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    return word;
}

std::string_view Trim(std::string_view s)
{
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos)
        return {};
    const size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

Account MakeAccount(const char* email, const char* password, std::int64_t memberId)
{
    Account a;
    a.email = email;
    a.password = password;
    a.memberId = memberId;
    return a;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

const Account* DataSet::FindByEmail(std::string_view email) const
{
    for (const Account& a : accounts)
        if (EqualsIgnoringAsciiCase(a.email, email))
            return &a;
    return nullptr;
}

const Account* DataSet::FindById(std::int64_t memberId) const
{
    for (const Account& a : accounts)
        if (a.memberId == memberId)
            return &a;
    return nullptr;
}

Account& DataSet::Put(Account account)
{
    for (Account& a : accounts) {
        if (EqualsIgnoringAsciiCase(a.email, account.email)) {
            a = std::move(account);
            return a;
        }
    }
    accounts.push_back(std::move(account));
    return accounts.back();
}

bool IsOnline(const Friend& f, std::int64_t minute)
{
    switch (f.presence) {
    case Presence::Online: return true;
    case Presence::Offline: return false;
    case Presence::Rotating: return (minute + f.id) % 3 == 0;
    }
    return false;
}

std::vector<Friend> GenerateFriends(std::size_t count, std::int64_t firstId, std::uint32_t seed)
{
    std::vector<Friend> friends;
    friends.reserve(count);
    Lcg rng {seed};
    for (std::size_t i = 0; i < count; ++i) {
        Friend f;
        f.id = firstId + static_cast<std::int64_t>(i);
        const std::string surname = kSurnames[rng.Next() % CountOf(kSurnames)];
        if (rng.Next() % 2 == 0)
            f.name = std::string(kMaleNames[rng.Next() % CountOf(kMaleNames)]) + " " + surname;
        else
            f.name = std::string(kFemaleNames[rng.Next() % CountOf(kFemaleNames)]) + " " + surname + "а";
        f.name = Utf8ToCp1251(f.name);
        f.presence = f.id % 4 == 0 ? Presence::Online
            : f.id % 10 == 3       ? Presence::Rotating
                                   : Presence::Offline;
        f.mutual = i % 7 == 0;
        f.fresh = i + 10 >= count;
        friends.push_back(std::move(f));
    }
    return friends;
}

DataSet BuiltinDataSet()
{
    DataSet data;
    Account demo = MakeAccount("demo@socialnet.example", "demo123", 1001);
    for (const DemoFriend& d : kDemoFriends) {
        Friend f;
        f.id = d.id;
        f.name = Utf8ToCp1251(d.name);
        ParsePresence(d.presence, f.presence);
        f.mutual = std::string_view(d.marks).find('m') != std::string_view::npos;
        f.fresh = std::string_view(d.marks).find('n') != std::string_view::npos;
        f.closed = std::string_view(d.marks).find('p') != std::string_view::npos;
        demo.friends.push_back(std::move(f));
    }
    data.Put(std::move(demo));
    data.Put(MakeAccount("empty@socialnet.example", "empty", 1002));

    struct Bench {
        const char* email;
        std::size_t count;
        std::int64_t memberId, firstFriend;
    };
    constexpr Bench kBench[] = {
        {"bench250@socialnet.example", 250, 1250, 100000},
        {"bench2500@socialnet.example", 2500, 1251, 200000},
        {"bench10000@socialnet.example", 10000, 1252, 300000},
    };
    for (const Bench& b : kBench) {
        Account a = MakeAccount(b.email, "bench", b.memberId);
        a.friends = GenerateFriends(b.count, b.firstFriend, static_cast<std::uint32_t>(b.count));
        data.Put(std::move(a));
    }
    return data;
}

bool ApplyDataText(std::string_view text, DataSet& data, std::string& error)
{
    Account* current = nullptr;
    bool sawAccount = false;
    std::size_t lineNo = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (!text.empty()) {
        ++lineNo;
        size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        line = Trim(line);
        if (line.empty() || line[0] == '#')
            continue;

        std::string_view rest = line;
        const std::string_view keyword = NextWord(rest);
        if (keyword == "no-builtin") {
            if (sawAccount)
                return fail("no-builtin must come before the first account");
            data.accounts.clear();
        } else if (keyword == "account") {
            const std::string_view email = NextWord(rest), password = NextWord(rest), id = NextWord(rest);
            std::int64_t memberId = 0;
            if (email.empty() || password.empty() || !ParsePositive(id, memberId) || !Trim(rest).empty())
                return fail("expected: account EMAIL PASSWORD MEMBER_ID");
            Account a;
            a.email = Utf8ToCp1251(email);
            a.password = Utf8ToCp1251(password);
            a.memberId = memberId;
            current = &data.Put(std::move(a));
            sawAccount = true;
        } else if (keyword == "friend") {
            if (!current)
                return fail("friend before any account");
            const std::string_view id = NextWord(rest), presence = NextWord(rest), marks = NextWord(rest);
            const std::string_view name = Trim(rest);
            Friend f;
            if (!ParsePositive(id, f.id) || !ParsePresence(presence, f.presence) || marks.empty()
                || name.empty())
                return fail("expected: friend ID 0|1|~ MARKS NAME");
            if (marks != "-" && marks.find_first_not_of("mnp") != std::string_view::npos)
                return fail("marks are '-' or the letters m (mutual), n (new) and p (no messages)");
            f.mutual = marks.find('m') != std::string_view::npos;
            f.fresh = marks.find('n') != std::string_view::npos;
            f.closed = marks.find('p') != std::string_view::npos;
            f.name = Utf8ToCp1251(name);
            current->friends.push_back(std::move(f));
        } else if (keyword == "friends") {
            if (!current)
                return fail("friends before any account");
            const std::string_view count = NextWord(rest), seed = NextWord(rest);
            std::int64_t n = 0, s = 1;
            if (!ParsePositive(count, n) || n > 1000000 || (!seed.empty() && !ParsePositive(seed, s))
                || !Trim(rest).empty())
                return fail("expected: friends COUNT [SEED] (COUNT up to 1000000)");
            // Generated ids start high so they stay clear of hand-written ones.
            const std::int64_t firstId = 500000000 + static_cast<std::int64_t>(current->friends.size());
            std::vector<Friend> more
                = GenerateFriends(static_cast<std::size_t>(n), firstId, static_cast<std::uint32_t>(s));
            current->friends.insert(current->friends.end(), more.begin(), more.end());
        } else {
            return fail("unknown keyword '" + std::string(keyword) + "'");
        }
    }
    return true;
}

}  // namespace emulator
