// Page "Аналоговые входы": its name and its layout. The fields themselves are
// in tests/data/forms.snapshot.

#include "editor/pages/AnalogPage.h"
#include "PageChecks.h"

using namespace pagetest;

using namespace plendoro;

namespace {

TEST(AnalogPage, IsTheAnalogInputsPage)
{
    AnalogPage page;
    EXPECT_EQ(Utf8(page.objectName()), "TabSheet7");
    EXPECT_EQ(Utf8(page.windowTitle()), "Аналоговые входы");
}

TEST(AnalogPage, FitsItsAreaWithoutClipping)
{
    AnalogPage page;
    ExpectNothingClipped(&page, QSize(880, 520));
}

} // namespace
