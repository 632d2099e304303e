// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/TagListCodec.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cctype>

namespace TagListCodec {

namespace {

// Only the 36-character hyphenated form is an id; QUuid alone would also take braces.
std::optional<QUuid> parseId(const rapidjson::Value &value)
{
    if (!value.IsString() || value.GetStringLength() != 36) {
        return std::nullopt;
    }
    const char *text = value.GetString();
    for (int i = 0; i < 36; ++i) {
        const char c = text[i];
        const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphen ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
    }
    return QUuid::fromString(QLatin1String(text, 36));
}

} // namespace

QByteArray encode(const QList<TagItem> &tags)
{
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartArray();
    for (const TagItem &tag : tags) {
        const QByteArray id = tag.idText().toLatin1();
        const QByteArray name = tag.name.toUtf8();
        writer.StartObject();
        writer.Key("id");
        writer.String(id.constData(), rapidjson::SizeType(id.size()));
        writer.Key("name");
        writer.String(name.constData(), rapidjson::SizeType(name.size()));
        writer.Key("colorIndex");
        writer.Int64(tag.colorIndex);
        writer.EndObject();
    }
    writer.EndArray();
    return QByteArray(buffer.GetString(), qsizetype(buffer.GetSize()));
}

std::optional<QList<TagItem>> decode(const QByteArray &bytes)
{
    rapidjson::Document doc;
    // Iterative: a deeply nested value in a damaged store must not exhaust the stack.
    doc.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag>(bytes.constData(),
                                                                                      size_t(bytes.size()));
    if (doc.HasParseError() || !doc.IsArray()) {
        return std::nullopt;
    }
    QList<TagItem> tags;
    tags.reserve(qsizetype(doc.Size()));
    for (const rapidjson::Value &item : doc.GetArray()) {
        if (!item.IsObject()) {
            return std::nullopt;
        }
        const auto id = item.FindMember("id");
        const auto name = item.FindMember("name");
        const auto color = item.FindMember("colorIndex");
        if (id == item.MemberEnd() || name == item.MemberEnd() || color == item.MemberEnd()) {
            return std::nullopt;
        }
        const std::optional<QUuid> uuid = parseId(id->value);
        if (!uuid || !name->value.IsString() || !color->value.IsInt64()) {
            return std::nullopt;
        }
        tags.append({*uuid, QString::fromUtf8(name->value.GetString(), qsizetype(name->value.GetStringLength())),
                     color->value.GetInt64()});
    }
    return tags;
}

} // namespace TagListCodec
