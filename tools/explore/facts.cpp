#include "tools/explore/facts.h"

#include "book/tables.h"
#include "tools/bookc/tag_args.h"

namespace explore::detail {

StaticFacts ReadFacts(const bookc::Book& book) {
    StaticFacts f;
    for (const bookc::Ending& e : book.endings) f.endings[e.page] = &e;
    for (const bookc::Paragraph& p : book.paragraphs) {
        if (!p.HasWords()) continue;
        f.withText.insert(p.number);
        for (const bookc::TagAt& tag : bookc::TagsOf(bookc::ParagraphText(p))) {
            if (!tag.args) continue;
            const bookc::TagArgs& a = *tag.args;
            if (a.tag->shape == TagShape::ObjectValue) f.shownValues[p.number].insert(a.object);
            if (a.value == bookc::TagArgs::Value::Draw && a.object < objectCount &&
                objectTable[a.object].count > 1)
                f.buildDraws.try_emplace(p.number, objectTable[a.object].count);
            if (a.tag->effects & kSaves) f.saves.insert(p.number);
            if (a.tag->shape == TagShape::Answers)
                f.answerBoxes[p.number].insert({a.answers[0], a.targets[0]});
        }
    }
    return f;
}

}  // namespace explore::detail
