#include "base/report_error.h"

#include <string>

#include "device/record.h"
#include "support/engine_fixture.h"
#include "windows.h"

namespace {

class Reporting : public EngineTest {};

TEST_F(Reporting, ShowsTheTextInAPlainOkBoxWithoutOwnerOrCaption) {
    ReportErrorF("Paragraph %d does not exist", 309);
    ASSERT_EQ(device::MessageBoxLog().size(), 1u);
    const auto& box = device::MessageBoxLog()[0];
    EXPECT_EQ(box.text, u"Paragraph 309 does not exist");
    EXPECT_TRUE(box.caption.empty());
    EXPECT_EQ(box.type, static_cast<uint32_t>(MB_OK));
}

TEST_F(Reporting, WidensEachByteAndCutsLongTextsAtNinetyNineCharacters) {
    const std::string high = "caf\xe9";
    ReportError(high.c_str());
    EXPECT_EQ(device::MessageBoxLog()[0].text, u"caf\u00e9");
    const std::string longText(150, 'x');
    ReportError(longText.c_str());
    ReportErrorF("%s", longText.c_str());
    EXPECT_EQ(device::MessageBoxLog()[1].text, std::u16string(99, u'x'));
    EXPECT_EQ(device::MessageBoxLog()[2].text, std::u16string(99, u'x'));
}

}  // namespace
