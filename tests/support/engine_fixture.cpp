#include "support/engine_fixture.h"

#include <cstring>
#include <map>

#include "device/record.h"
#include "page/builder.h"
#include "page/controls.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "support/page_host.h"

void EngineTest::SetUp() {
    ResetPageState();
}

void EngineTest::Scan(const std::string& markup) {
    ScanParagraph(markup.c_str());
}

uint8_t EngineTest::Execute(const std::string& command) {
    std::memset(commandBuffer, 0, sizeof commandBuffer);
    std::strncpy(commandBuffer, command.c_str(), sizeof commandBuffer - 1);
    return ExecuteTag();
}

std::string EngineTest::Items() {
    // The item kinds that carry no text or index.
    static const std::map<int, const char*> kNames = {
        {ItemAlignLeft, "left"},   {ItemAlignCentre, "centre"},
        {ItemAlignRight, "right"}, {ItemBoldOn, "bold"},
        {ItemBoldOff, "/bold"},    {ItemParagraphBreak, "para"},
        {ItemLineBreak, "line"},   {ItemTab, "tab"}};
    std::string out;
    for (int i = 1; i <= pageItemCount; ++i) {
        const PageItem& item = pageItems[i];
        if (!out.empty()) out += ' ';
        const int type = item.type;
        if (type == ItemText || type == ItemTitle)
            out += (type == ItemText ? "T\"" : "H\"") + std::string(item.text) + "\"";
        else if (type == ItemPicture)
            out += "pic(" + std::to_string(item.index) + "," + std::to_string(item.value) + ")";
        else if (type == ItemEditBox || type == ItemButton)
            out += (type == ItemEditBox ? "edit#" : "button#") + std::to_string(item.index);
        else if (kNames.count(type))
            out += kNames.at(type);
        else
            out += "?" + std::to_string(type);
    }
    return out;
}

std::string EngineTest::Caption(int n) {
    std::string out;
    for (int i = 0; i < buttonRecords[n].textLength; ++i)
        out += static_cast<char>(buttonRecords[n].caption[i]);
    return out;
}

std::vector<std::string> EngineTest::Messages() {
    std::vector<std::string> out;
    for (const auto& box : device::MessageBoxLog()) out.push_back(device::Narrow(box.text));
    return out;
}

std::vector<std::string> EngineTest::Sounds() {
    std::vector<std::string> out;
    for (const auto& name : device::SoundLog()) out.push_back(device::Narrow(name));
    return out;
}
