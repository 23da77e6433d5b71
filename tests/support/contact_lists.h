// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Realistic contact lists as a spreadsheet saves them, in UTF-8 text: common surnames by share,
// common given names, companies and phone numbers, CR LF line ends; and the damage a file takes
// on its way (a byte inserted, overwritten or dropped, the end cut off). Shared by the benchmark
// and the tests; it needs nothing but the standard library.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace contact_lists {

// splitmix64: the same rows on every platform, unlike the standard distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
    bool percent(unsigned p) { return below(100) < p; }

    template <std::size_t N>
    std::string_view pick(const std::array<std::string_view, N>& items) {
        return items[below(N)];
    }

private:
    std::uint64_t state_;
};

constexpr std::array<std::string_view, 100> FamilyNames = {
    "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡",
    "郭", "何", "高", "林", "罗", "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹",
    "彭", "曾", "肖", "田", "董", "袁", "潘", "于", "蒋", "蔡", "余", "杜", "叶", "程", "苏",
    "魏", "吕", "丁", "任", "沈", "姚", "卢", "姜", "崔", "钟", "谭", "陆", "汪", "范", "金",
    "石", "廖", "贾", "夏", "韦", "付", "方", "白", "邹", "孟", "熊", "秦", "邱", "江", "尹",
    "薛", "闫", "段", "雷", "侯", "龙", "史", "陶", "黎", "贺", "顾", "毛", "郝", "龚", "邵",
    "万", "钱", "严", "覃", "武", "戴", "莫", "孔", "向", "汤"};

constexpr std::array<std::string_view, 6> CompoundFamilyNames = {"欧阳", "司马", "上官",
                                                                 "诸葛", "东方", "皇甫"};

constexpr std::array<std::string_view, 80> GivenNameChars = {
    "伟", "芳", "娜", "秀", "英", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟",
    "涛", "明", "超", "兰", "霞", "平", "刚", "桂", "华", "建", "国", "文", "辉", "力", "玲", "红",
    "波", "鹏", "飞", "宇", "浩", "婷", "雪", "琳", "晨", "欣", "怡", "子", "涵", "梓", "轩", "俊",
    "嘉", "思", "雨", "佳", "博", "鑫", "晓", "志", "海", "峰", "云", "龙", "慧", "颖", "燕", "东",
    "斌", "亮", "凯", "萍", "倩", "丹", "琴", "宁", "新", "林", "春", "梅", "莉", "彬", "健", "振"};

constexpr std::array<std::string_view, 15> Cities = {"北京", "上海", "广州", "深圳", "杭州",
                                                     "南京", "成都", "武汉", "天津", "重庆",
                                                     "西安", "苏州", "长沙", "青岛", "厦门"};

constexpr std::array<std::string_view, 20> Brands = {
    "华信", "恒达", "鑫源", "宏图", "金鹏", "瑞丰", "中科", "东方", "天成", "新世纪",
    "博远", "盛世", "永兴", "汇通", "嘉禾", "联创", "创新", "万达", "海纳", "锦程"};

constexpr std::array<std::string_view, 19> Trades = {
    "科技", "贸易", "电子", "实业", "建设", "物流", "信息技术", "网络", "医药", "文化传媒",
    "投资", "机械", "食品", "服装", "广告", "咨询", "环保",     "教育", "软件"};

// Weighted by repetition: most firms are plain limited companies.
constexpr std::array<std::string_view, 20> CompanyKinds = {
    "有限公司",     "有限公司",     "有限公司",     "有限公司",     "有限公司",
    "有限公司",     "有限公司",     "有限公司",     "有限公司",     "有限公司",
    "有限公司",     "有限公司",     "有限责任公司", "有限责任公司", "股份有限公司",
    "股份有限公司", "集团有限公司", "商行",         "工作室",       "经营部"};

constexpr std::array<std::string_view, 16> AreaCodes = {
    "010", "021", "020",  "022",  "023",  "024",  "025",  "027",
    "028", "029", "0755", "0571", "0512", "0532", "0592", "0731"};

constexpr std::array<std::string_view, 20> MobilePrefixes = {
    "130", "131", "132", "133", "135", "136", "137", "138", "139", "150",
    "151", "152", "158", "159", "177", "180", "186", "187", "188", "199"};

constexpr std::string_view Heading = "姓名,公司名称,业务电话,住宅电话,手机\r\n";
constexpr std::string_view NameHeading = "姓名\r\n";

class ContactGenerator {
public:
    explicit ContactGenerator(Random& random) : random_(random) {}

    // One CSV line, in UTF-8, with its CR LF. One field in six is empty, home numbers most often;
    // the mix makes a row about 56 bytes in code page 936.
    void appendRow(std::string& out) {
        appendName(out);
        out += ',';
        if (random_.percent(85)) appendCompany(out);
        out += ',';
        if (random_.percent(85)) appendLandline(out);
        out += ',';
        if (random_.percent(55)) appendLandline(out);
        out += ',';
        if (random_.percent(90)) appendMobile(out);
        out += "\r\n";
    }

    // Two to four characters: a family name (rarely a two-character one) and a given name.
    void appendName(std::string& out) {
        const bool compound = random_.percent(3);
        out += compound ? random_.pick(CompoundFamilyNames) : random_.pick(FamilyNames);
        const unsigned givenLength = !compound && random_.percent(25) ? 1 : 2;
        for (unsigned i = 0; i < givenLength; ++i) out += random_.pick(GivenNameChars);
    }

private:
    void appendCompany(std::string& out) {
        if (random_.percent(60)) out += random_.pick(Cities);
        out += random_.pick(Brands);
        out += random_.pick(Trades);
        out += random_.pick(CompanyKinds);
    }

    void appendDigits(std::string& out, unsigned count) {
        for (unsigned i = 0; i < count; ++i) out += static_cast<char>('0' + random_.below(10));
    }

    // Like 010-62345678 or 0755-86543210, now and then with an extension.
    void appendLandline(std::string& out) {
        out += random_.pick(AreaCodes);
        out += '-';
        out += static_cast<char>('2' + random_.below(7));  // local numbers never start with 0 or 1
        appendDigits(out, 7);
        if (random_.percent(5)) {
            out += '-';
            appendDigits(out, 3 + random_.below(2));
        }
    }

    void appendMobile(std::string& out) {
        out += random_.pick(MobilePrefixes);
        appendDigits(out, 8);
    }

    Random& random_;
};

// What a list holds: how many contacts, whether a heading comes first, and whether each row has
// the company and phone columns too or the name alone.
struct Shape {
    int contacts;
    bool heading;
    bool companies;
};

inline std::string makeList(ContactGenerator& generator, const Shape& shape) {
    std::string text(shape.heading ? (shape.companies ? Heading : NameHeading) : "");
    for (int i = 0; i < shape.contacts; ++i) {
        if (shape.companies) {
            generator.appendRow(text);
        } else {
            generator.appendName(text);
            text += "\r\n";
        }
    }
    return text;
}

enum class Damage { None, ByteInserted, ByteOverwritten, ByteDropped, EndCut };

constexpr std::array<Damage, 5> Damages = {Damage::None, Damage::ByteInserted,
                                           Damage::ByteOverwritten, Damage::ByteDropped,
                                           Damage::EndCut};

constexpr std::string_view nameOf(Damage damage) {
    constexpr std::array<std::string_view, 5> Names = {
        "intact", "byte inserted", "byte overwritten", "byte dropped", "end cut"};
    return Names[static_cast<std::size_t>(damage)];
}

// Damages `bytes` (two or more) once, anywhere in them: an inserted byte takes any value, an
// overwriting one any value but the one it replaces.
inline void damage(std::string& bytes, Damage kind, Random& random) {
    const auto size = static_cast<unsigned>(bytes.size());
    const auto otherByte = [&](unsigned char old) {
        return static_cast<char>(old + 1 + random.below(255));
    };
    switch (kind) {
        case Damage::None:
            break;
        case Damage::ByteInserted:
            bytes.insert(bytes.begin() + random.below(size + 1),
                         static_cast<char>(random.below(256)));
            break;
        case Damage::ByteOverwritten: {
            char& byte = bytes[random.below(size)];
            byte = otherByte(static_cast<unsigned char>(byte));
            break;
        }
        case Damage::ByteDropped:
            bytes.erase(random.below(size), 1);
            break;
        case Damage::EndCut:
            bytes.resize(1 + random.below(size - 1));
            break;
    }
}

}  // namespace contact_lists
