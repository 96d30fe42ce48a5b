// The tools' reader of tag arguments against the engine: every well-formed
// form of every tag, carried out by the engine, must lead where the reader
// says, with the answers, chances, labels and objects the reader finds.
#include "tools/bookc/tag_args.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "book/state.h"
#include "page/builder.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "support/engine_fixture.h"

namespace {

class TagArgs : public EngineTest {};

// Arguments of each shape as the book writes them after the letter, apart by
// ';' (objects, images and slots of the engine's test book).
const std::pair<TagShape, const char*> kExamples[] = {
    {TagShape::Bare, "; "},
    {TagShape::Number, "0; 1"},
    {TagShape::Arrow, " 47;5"},
    {TagShape::Hotword, " \"Go on\" 47;\"\"47; $1 12; %0 11; %2 3;%3 4"},
    {TagShape::ObjectHotword, " %5; %5 ; %5 \"take\" 47; %1 $0 11; %0\"x\" 47; %2 %0 9"},
    {TagShape::SetValue,
     " %2 3; %2 -3; %2 +2; %2 %7; %2 -%7; %2 z; %2 3 \"count\" 47; %2 -%7 $1 5; %2 z \"r\" 6"},
    {TagShape::Chance,
     " \"flip\" (12) 47 11;\"x\"(0) 3 4; \"r\" (100) 47 11; \"roll\" (30) 47 (50) 11 (20) 1 46"},
    {TagShape::Answers,
     " (yes) 47 11; (two words) 47 (no) 11 (maybe) 1 46; () 47 11;(a) 1 (b) 2 3"},
    {TagShape::Condition, " (X %0); (X %0) & !(%1 = 1) ; (%2 x %7)"},
    {TagShape::ObjectValue, " %0;%2"},
    {TagShape::SaveCheckpoint, " *1;*2 "},
    {TagShape::CheckpointHotword, " *0 \"Back to\";*0 \"x\" "},
};

std::vector<std::string> Examples(TagShape shape) {
    std::vector<std::string> out;
    for (const auto& [s, all] : kExamples)
        for (size_t from = 0; s == shape && from != std::string::npos;) {
            const size_t bar = std::string(all).find(';', from);
            out.push_back(std::string(all).substr(from, bar - from));
            from = bar == std::string::npos ? bar : bar + 1;
        }
    return out;
}

TEST_F(TagArgs, TheEngineLeadsWhereTheReaderSaysWithItsAnswersAndChances) {
    for (const TagInfo& tag : kTags) {
        for (const std::string& example : Examples(tag.shape)) {
            // A draw is R's alone.
            if (example.find('z') != std::string::npos && !(tag.effects & kSets)) continue;
            const std::string form = tag.letter + example;
            SCOPED_TRACE("<" + form + ">");
            const std::optional<bookc::TagArgs> a = bookc::ReadTagArgs(form);
            ASSERT_TRUE(a.has_value());
            SetUp();
            SaveCheckpoint(0);
            Execute(form);

            const bool arrow = tag.shape == TagShape::Arrow;
            ASSERT_EQ(hotwordCount, a->hotword ? 1 : 0);
            std::vector<int> targets;
            if (arrow) targets = {tag.letter == 'n' ? nextArrowTarget : prevArrowTarget};
            const HotwordRecord& r = hotwordTable[0];
            if (a->hotword && tag.shape != TagShape::CheckpointHotword) {
                // The outcomes' targets as written: t1 [t3 [t4]] t2.
                const size_t outcomes = a->chances.size() + a->answers.size();
                const int16_t written[] = {r.target1, r.target3, r.target4};
                targets.assign(written, written + std::max<size_t>(outcomes, 1));
                if (outcomes) targets.push_back(r.target2);
            }
            EXPECT_EQ(targets, a->targets);
            if (!a->hotword) continue;

            const std::string answers[] = {r.answer1, r.answer2, r.answer3};
            for (size_t i = 0; i < a->answers.size(); ++i) EXPECT_EQ(answers[i], a->answers[i]);
            int bound = 0;  // the chances are kept as running bounds
            const int bounds[] = {r.value, r.threshold2, r.threshold3};
            for (size_t i = 0; i < a->chances.size(); ++i)
                EXPECT_EQ(bounds[i], static_cast<int8_t>(bound += a->chances[i]));
            if (a->face.kind == '"') {
                EXPECT_EQ(Caption(0), a->face.label);
            }
            const bool slot = tag.shape == TagShape::CheckpointHotword;
            if (slot || a->object >= 0) {
                EXPECT_EQ(r.objectIndex, slot ? a->number : a->object);
            }
        }
    }
}

}  // namespace
