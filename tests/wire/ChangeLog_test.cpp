#include "wire/ChangeLog.h"

#include <gtest/gtest.h>

using namespace wire;

namespace {

ChangeLog sample() {
    ChangeLog log;
    log.fields = {{"CDGRUSUGESPROD", 10}, {"NMGRUSUGESPROD", 40}};
    log.changes = {{ChangeKind::Insert, {}, {"1", "Sugestão"}},
                   {ChangeKind::Modify, {"2", "Velho"}, {"2", std::nullopt}},
                   {ChangeKind::Delete, {"3", ""}, {}}};
    return log;
}

}  // namespace

TEST(ChangeLogCodec, RoundTripKeepsOrderKindsAndValues) {
    ChangeLog log = sample();
    auto back = ChangeLog::fromJson(log.toJson());
    ASSERT_TRUE(back.isOk()) << back.status().message();
    EXPECT_EQ(*back, log);
}

TEST(ChangeLogCodec, EncodesTheDocumentedShape) {
    ChangeLog log;
    log.fields = {{"A", 1}};
    log.changes = {{ChangeKind::Modify, {"x"}, {"y"}}};
    EXPECT_EQ(
        log.toJson(),
        R"({"fields":[{"name":"A","size":1}],"changes":[{"kind":"modify","old":["x"],"new":["y"]}]})");
}

TEST(ChangeLogCodec, RefusesWhatDoesNotFit) {
    const char* bad[] = {
        R"({"fields":[{"name":"A","size":1}],"changes":[{"kind":"upsert","new":["x"]}]})",
        R"({"fields":[{"name":"A","size":1}],"changes":[{"kind":"insert"}]})",
        R"({"fields":[{"name":"A","size":1}],"changes":[{"kind":"insert","new":["x"],"old":["x"]}]})",
        R"({"fields":[{"name":"A","size":1}],"changes":[{"kind":"modify","new":["x"]}]})",
        R"({"fields":[{"name":"A","size":1}],"changes":[{"kind":"delete","old":["xy"]}]})",
        R"({"fields":[{"name":"A","size":1}],"changes":[{"kind":"delete","old":[]}]})",
        R"({"fields":[{"name":"A","size":1}],"changes":[{"new":["x"]}]})",
        R"({"fields":[{"name":"A","size":1}],"changes":[{"kind":"insert","new":[5]}]})",
        R"({"fields":[{"name":"A","size":1}]})",
        R"({"changes":[]})",
        R"({"fields":[{"name":"A","size":1}],"changes":[{"kind":"insert","new":["x"]})",
    };
    for (const char* json : bad) EXPECT_FALSE(ChangeLog::fromJson(json).isOk()) << json;
}

TEST(ChangeLogCodec, EmptyLogIsValid) {
    auto r = ChangeLog::fromJson(R"({"fields":[{"name":"A","size":1}],"changes":[]})");
    ASSERT_TRUE(r.isOk());
    EXPECT_TRUE(r->changes.empty());
}
