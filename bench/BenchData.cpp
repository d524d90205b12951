#include "bench/BenchData.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string_view>
#include <unordered_set>

#include "platform/base/CodePage.h"

namespace bench {

Workspace::Workspace() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velkon-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_base = pattern;
    m_data = m_base + "/data";
    std::filesystem::create_directories(m_data);
    std::filesystem::create_directories(m_base + "/config");
    ::setenv("XDG_CONFIG_HOME", (m_base + "/config").c_str(), 1);
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
}

Workspace::~Workspace() {
    std::error_code ec;
    std::filesystem::remove_all(m_base, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

namespace {

using Rng = std::mt19937_64;

std::vector<std::string> Cp932(std::initializer_list<const char*> utf8) {
    std::vector<std::string> out;
    for (const char* s : utf8) out.push_back(Utf8ToCp932(s));
    return out;
}

const std::vector<std::string>& AsciiHandles() {
    static const std::vector<std::string> v = {
        "Blue Sky",  "taro", "K.Sato", "NightOwl", "HAL",   "mimi", "Dr.Modem",
        "Captain Z", "yoko", "Sysop",  "pochi",    "Ken-1", "MAGI", "Rocky",
        "sakura_n",  "Jun",  "T.Mori", "Gin",      "Windy", "ZERO", "lulu"};
    return v;
}

const std::vector<std::string>& JapaneseHandles() {
    static const std::vector<std::string> v =
        Cp932({"山田太郎",   "佐藤花子",   "鈴木一郎", "高橋",     "たかし",   "さくら", "ゆうこ",
               "田中　実",   "伊藤美咲",   "渡辺　健", "中村",     "小林由美", "ｻﾄｳ",    "ﾀﾛｳ",
               "ソフト工房", "猫の手",     "黒猫",     "ＫＡＺＵ", "まさみ",   "加藤",   "吉田　茂",
               "山本",       "松本ひろし", "井上",     "木村",     "のぞみ",   "ひでき", "森の熊"});
    return v;
}

const std::vector<std::string>& Memos() {
    static const std::vector<std::string> v =
        Cp932({"大阪", "PC-VAN", "友人", "オフ会で会った", "RT常連", "東京", "会社の同僚",
               "フリーソフト作者", "要返信", "札幌", "福岡", "パソ通仲間", "ゲーム", "音楽"});
    return v;
}

// Sentences of ordinary chat; none of them holds anything that reads as an ID.
const std::vector<std::string>& Sentences() {
    static const std::vector<std::string> v = [] {
        std::vector<std::string> s = Cp932({"こんにちは、今日は良い天気ですね。",
                                            "新しいモデムを買いました。速いです。",
                                            "昨日のオフ会はとても楽しかったです。",
                                            "次回のチャットは土曜日の夜九時からです。",
                                            "フリーソフトの新しい版を登録しました。",
                                            "ダウンロードに時間がかかって困っています。",
                                            "その件については、掲示板に書いておきました。",
                                            "レスありがとうございます。参考になりました。",
                                            "ところで、皆さんはどんなパソコンをお使いですか？",
                                            "私は九十八を使っています。",
                                            "メールの返事が遅れてすみません。",
                                            "では、また明日。おやすみなさい。",
                                            "ゲームのセーブデータが消えてしまいました…",
                                            "画像の変換ソフトを探しています。",
                                            "ｶﾀｶﾅの半角文字も混ざっています。",
                                            "ＦＡＱを読んでから質問してくださいね。",
                                            "同感です。私もそう思います。",
                                            "大阪は雨が降っています。",
                                            "（笑）",
                                            "よろしくお願いします。"});
        for (const char* ascii :
             {"Hi all, long time no see.", "The 14400 bps modem works fine here.",
              "RE: file transfer problem", "Thanks for the info!", "See you at the meeting.",
              "I uploaded the new version to the library.", "Anyone know a good terminal program?",
              "lol", "Good night."})
            s.emplace_back(ascii);
        return s;
    }();
    return v;
}

std::string RandomId(Rng& rng) {
    std::string id(8, ' ');
    std::uniform_int_distribution<int> letter(0, 25), digit(0, 9);
    for (int i = 0; i < 3; ++i) id[i] = static_cast<char>('A' + letter(rng));
    for (int i = 3; i < 8; ++i) id[i] = static_cast<char>('0' + digit(rng));
    return id;
}

template <class T>
const T& Pick(const std::vector<T>& v, Rng& rng) {
    return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng)];
}

bool Chance(Rng& rng, double p) {
    return std::uniform_real_distribution<double>(0, 1)(rng) < p;
}

std::string RandomHandle(Rng& rng) {
    return Chance(rng, 0.45) ? Pick(AsciiHandles(), rng) : Pick(JapaneseHandles(), rng);
}

// Days since 1970-01-01 to "YYYY/MM/DD" (the proleptic Gregorian calendar).
void AppendDate(std::string& out, std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", y, m, d);
    out += buf;
}

void AppendRecord(std::string& out, const std::string& id, Rng& rng) {
    // 1995-01-01 .. 2024-12-31
    constexpr std::int64_t kFirstDay = 9131, kLastDay = 20088;
    out += id;
    out += '\t';
    if (!Chance(rng, 0.03)) out += RandomHandle(rng);
    const double memoChance[6] = {0.12, 0.05, 0.03, 0.02, 0.01, 0.01};
    for (double p : memoChance) {
        out += '\t';
        if (Chance(rng, p)) out += Pick(Memos(), rng);
    }
    out += '\t';
    // Most members are seen a few times, some very often.
    const int count = 1 + static_cast<int>(std::exponential_distribution<double>(0.08)(rng));
    out += std::to_string(std::min(count, 9999));
    const std::int64_t regist =
        std::uniform_int_distribution<std::int64_t>(kFirstDay, kLastDay)(rng);
    const std::int64_t update =
        count == 1 ? regist : std::uniform_int_distribution<std::int64_t>(regist, kLastDay)(rng);
    out += '\t';
    AppendDate(out, regist);
    out += '\t';
    AppendDate(out, update);
    out += "\r\n";
}

const char kHeader[] =
    "*Velkon95 member list: ID, handle, memo 1-6, count, registered, updated\r\n";

}  // namespace

std::vector<std::string> DistinctIds(std::size_t n, std::uint64_t seed) {
    Rng rng(seed);
    std::unordered_set<std::string> seen;
    seen.reserve(n * 2);
    std::vector<std::string> ids;
    ids.reserve(n);
    while (ids.size() < n) {
        std::string id = RandomId(rng);
        if (seen.insert(id).second) ids.push_back(std::move(id));
    }
    return ids;
}

std::string MakeLst(std::size_t n, std::uint64_t seed) {
    Rng rng(seed);
    std::string out = kHeader;
    out.reserve(n * 64);
    std::vector<std::string> ids;
    ids.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        // An ID registered again after its record got lost, or a file merged from two.
        if (!ids.empty() && Chance(rng, 0.01))
            ids.push_back(Pick(ids, rng));
        else
            ids.push_back(RandomId(rng));
        AppendRecord(out, ids.back(), rng);
    }
    return out;
}

std::string MakeLstFor(const std::vector<std::string>& ids, std::uint64_t seed) {
    Rng rng(seed);
    std::string out = kHeader;
    out.reserve(ids.size() * 64);
    for (const std::string& id : ids) AppendRecord(out, id, rng);
    return out;
}

namespace {

// An ID with what people write around it. Some forms give a handle, some do not.
void AppendIdLine(std::string& out, const std::string& id, Rng& rng) {
    static const std::string san = Utf8ToCp932("さん、こんにちは。");
    static const std::string slash = Utf8ToCp932("／");
    static const std::string colon = Utf8ToCp932("：");
    const std::string handle = RandomHandle(rng);
    switch (std::uniform_int_distribution<int>(0, 6)(rng)) {
        case 0:
            out += id + " " + handle + "\r\n";
            break;
        case 1:
            out += "From: " + id + " " + handle + "\r\n";
            break;
        case 2:
            out += id + " " + handle + san + "\r\n";
            break;
        case 3:
            out += "[" + id + "]" + slash + handle + "\r\n";
            break;
        case 4:
            out += handle + " (" + id + ")" + colon + Pick(Sentences(), rng) + "\r\n";
            break;
        case 5:
            out += "> " + id + "  " + handle + ", " + Pick(Sentences(), rng) + "\r\n";
            break;
        default:
            out += id + " " + handle + " " + Pick(Sentences(), rng) + "\r\n";
            break;
    }
}

}  // namespace

std::string MakeForumText(std::size_t bytes, std::size_t bytesPerId, std::uint64_t seed) {
    Rng rng(seed);
    std::string out;
    out.reserve(bytes + 4096);
    std::vector<std::string> seen;
    std::uniform_int_distribution<std::size_t> gap(bytesPerId / 2, bytesPerId * 3 / 2);
    std::size_t nextId = gap(rng);
    while (out.size() < bytes) {
        if (out.size() >= nextId) {
            if (!seen.empty() && Chance(rng, 0.2))
                AppendIdLine(out, Pick(seen, rng), rng);
            else {
                seen.push_back(RandomId(rng));
                AppendIdLine(out, seen.back(), rng);
            }
            nextId = out.size() + gap(rng);
            continue;
        }
        if (Chance(rng, 0.15)) out += "> ";
        const int sentences = std::uniform_int_distribution<int>(1, 3)(rng);
        for (int i = 0; i < sentences; ++i) out += Pick(Sentences(), rng);
        out += "\r\n";
        if (Chance(rng, 0.05)) out += "\r\n";
    }
    return out;
}

std::string MakeIdHandleText(const std::vector<std::string>& ids, std::uint64_t seed) {
    Rng rng(seed);
    std::string out;
    out.reserve(ids.size() * 40);
    for (const std::string& id : ids) AppendIdLine(out, id, rng);
    return out;
}

}  // namespace bench
