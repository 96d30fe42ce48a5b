#include "support/engine_fixture.h"

#include <cstring>

#include "book/state.h"
#include "device/record.h"
#include "page/builder.h"
#include "page/controls.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/app_state.h"
#include "shell/navigation.h"
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
    std::string out;
    for (int i = 1; i <= pageItemCount; ++i) {
        const PageItem& item = pageItems[i];
        if (!out.empty()) out += ' ';
        switch (item.type) {
            case ItemText:
                out += "T\"" + std::string(item.text) + "\"";
                break;
            case ItemTitle:
                out += "H\"" + std::string(item.text) + "\"";
                break;
            case ItemAlignLeft:
                out += "left";
                break;
            case ItemAlignCentre:
                out += "centre";
                break;
            case ItemAlignRight:
                out += "right";
                break;
            case ItemBoldOn:
                out += "bold";
                break;
            case ItemBoldOff:
                out += "/bold";
                break;
            case ItemParagraphBreak:
                out += "para";
                break;
            case ItemLineBreak:
                out += "line";
                break;
            case ItemTab:
                out += "tab";
                break;
            case ItemPicture:
                out += "pic(" + std::to_string(item.index) + "," + std::to_string(item.value) + ")";
                break;
            case ItemEditBox:
                out += "edit#" + std::to_string(item.index);
                break;
            case ItemButton:
                out += "button#" + std::to_string(item.index);
                break;
            default:
                out += "?" + std::to_string(item.type);
                break;
        }
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
