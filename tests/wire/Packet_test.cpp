#include "wire/Packet.h"

#include <gtest/gtest.h>

#include "wire/PacketReader.h"
#include "wire/PacketWriter.h"

using namespace wire;

namespace {

Packet sample() {
    Packet p;
    p.fields = {{"CDGRUSUGESPROD", 10}, {"NMGRUSUGESPROD", 40}, {"NRORDEM", 4}};
    p.rows = {{"0000000001", "Sugestão", "1"},
              {"0000000002", "", std::nullopt},
              {"3", "Ordem já cadastrada.", "12"}};
    return p;
}

std::string errorOf(std::string_view json) {
    auto r = Packet::fromJson(json);
    return r.isOk() ? "ok" : r.status().message();
}

}  // namespace

TEST(PacketCodec, RoundTripKeepsNullEmptyAndNonAscii) {
    Packet p = sample();
    std::string json = p.toJson();
    auto back = Packet::fromJson(json);
    ASSERT_TRUE(back.isOk()) << back.status().message();
    EXPECT_EQ(*back, p);
    EXPECT_FALSE(back->rows[1][2].has_value());
    EXPECT_EQ(back->rows[1][1], std::optional<std::string>(""));
}

TEST(PacketCodec, EncodesTheDocumentedShape) {
    Packet p;
    p.fields = {{"A", 2}};
    p.rows = {{"x\"y"}, {std::nullopt}};
    EXPECT_EQ(p.toJson(), R"({"fields":[{"name":"A","size":2}],"rows":[["x\"y"],[null]]})");
}

TEST(PacketCodec, PacketWithoutRowsMemberHasNoRows) {
    auto r = Packet::fromJson(R"({"fields":[{"name":"A","size":1}]})");
    ASSERT_TRUE(r.isOk());
    EXPECT_EQ(r->fields.size(), 1u);
    EXPECT_TRUE(r->rows.empty());
}

TEST(PacketCodec, EscapedTextIsDecoded) {
    auto r = Packet::fromJson(R"({"fields":[{"name":"A","size":8}],"rows":[["Sugest\u00e3o"]]})");
    ASSERT_TRUE(r.isOk());
    EXPECT_EQ(*r->rows[0][0], "Sugestão");
}

TEST(PacketCodec, SizesCountCharactersNotBytes) {
    EXPECT_EQ(errorOf(R"({"fields":[{"name":"A","size":3}],"rows":[["ção"]]})"), "ok");
    EXPECT_NE(errorOf(R"({"fields":[{"name":"A","size":3}],"rows":[["ções"]]})")
                  .find("longo demais para o campo A"),
              std::string::npos);
}

TEST(PacketCodec, RefusesMalformedPackets) {
    const char* bad[] = {
        "",
        "{",
        R"({"fields":[{"name":"A","size":1}],"rows":[["x"])",  // truncated
        R"([])",                                               // not an object
        R"({"rows":[],"fields":[]})",                          // rows before fields
        R"({"fields":[{"name":"A"}],"rows":[]})",              // no size
        R"({"fields":[{"size":1}],"rows":[]})",                // no name
        R"({"fields":[{"name":"A","size":0}],"rows":[]})",     // size out of range
        R"({"fields":[{"name":"A","size":99999999}],"rows":[]})",
        R"({"fields":[{"name":"A","size":1},{"name":"A","size":1}]})",  // duplicate field
        R"({"fields":[{"name":"A","size":1}],"rows":[["x","y"]]})",     // too many values
        R"({"fields":[{"name":"A","size":1}],"rows":[[]]})",            // too few
        R"({"fields":[{"name":"A","size":1}],"rows":[[1]]})",           // number for text
        R"({"fields":[{"name":"A","size":1}],"rows":[[{"x":1}]]})",     // object for text
        R"({"fields":[{"name":"A","size":1}],"rows":[[true]]})",
        R"({"fields":[{"name":"A","size":1}],"rows":[]} {})",  // trailing value
        R"({"fields":[{"name":"A","size":1}],"rows":[],"extra":1})",
        R"({"fields":[{"name":"A","size":1.5}],"rows":[]})",
        R"({"fields":[{"name":"A","size":1}],"rows":[["\ud800"]]})",  // lone surrogate
    };
    for (const char* json : bad) EXPECT_NE(errorOf(json), "ok") << json;
}

TEST(PacketCodec, RefusesInvalidUtf8AndEmbeddedNul) {
    std::string json = R"({"fields":[{"name":"A","size":5}],"rows":[["a)";
    EXPECT_NE(errorOf(json + "\xC3\x28\"]]}"), "ok");
    EXPECT_NE(errorOf(json + "\xED\xA0\x80\"]]}"), "ok");  // encoded surrogate
    EXPECT_NE(errorOf(json + "\xC0\xAF\"]]}"), "ok");      // overlong
    EXPECT_NE(errorOf(std::string(R"({"fields":[]})") + std::string(1, '\0') + "junk"), "ok");
}

TEST(PacketCodec, RefusesDeepNestingWithoutRecursing) {
    std::string deep(500000, '[');
    EXPECT_NE(errorOf(deep), "ok");
    std::string deepObjects;
    for (int i = 0; i < 100000; ++i) deepObjects += "{\"a\":";
    EXPECT_NE(errorOf(deepObjects), "ok");
}

TEST(PacketCodec, SinkRefusalStopsDecodingWithItsMessage) {
    struct Refusing : PacketSink {
        Status onFields(const std::vector<FieldDef>&) override { return Status::ok(); }
        Status onRow(std::span<const ValueView>) override {
            return Status(ErrorCode::BadPacket, "não cabe");
        }
    } sink;
    Status s = readPacket(R"({"fields":[{"name":"A","size":1}],"rows":[["x"]]})", sink);
    EXPECT_EQ(s.message(), "não cabe");
}

TEST(PacketCodec, WriterWithoutFieldsStillWritesAValidPacket) {
    std::string out;
    PacketWriter writer(out);
    writer.finish();
    EXPECT_TRUE(Packet::fromJson(out).isOk()) << out;
}

TEST(Utf8, LengthAndValidity) {
    EXPECT_EQ(utf8Length("Sugestão"), 8u);
    EXPECT_TRUE(isValidUtf8("Ordem já cadastrada. 😀"));
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(isValidUtf8("abc\xE2\x82"));       // truncated sequence
}
