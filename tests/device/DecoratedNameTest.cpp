#include "device/DecoratedName.h"

#include <gtest/gtest.h>

namespace brelkin {
namespace {

TEST(DecoratedName, RecognisesMembersWhateverTheirTypes)
{
    struct Row {
        const char* name;
        const char* cls;
        ClassMember member;
        bool matches;
        unsigned returnBytes;
    };
    const Row rows[] = {
        // x86 thiscall forms
        {"??0CEM2800Prop@@QAE@XZ", "CEM2800Prop", ClassMember::Constructor, true, 0},
        {"??1CEM2800Prop@@QAE@XZ", "CEM2800Prop", ClassMember::Destructor, true, 0},
        {"?OpenInterface@CEM2800Prop@@QAEPAXXZ", "CEM2800Prop", ClassMember::OpenInterface, true, 0},
        {"?OpenInterface@CBDA2800@@QAEKXZ", "CBDA2800", ClassMember::OpenInterface, true, 4},
        {"?CloseInterface@CEM2800Prop@@QAEXXZ", "CEM2800Prop", ClassMember::CloseInterface, true, 0},
        {"?IsInterfaceValid@CEM2800Prop@@QAEHXZ", "CEM2800Prop", ClassMember::IsInterfaceValid, true, 4},
        {"?IsInterfaceValid@CBDA2800@@QBE_NXZ", "CBDA2800", ClassMember::IsInterfaceValid, true, 1},
        {"?GetPIO@CEM2800Prop@@QAEJPAK@Z", "CEM2800Prop", ClassMember::GetPIO, true, 4},
        {"?IsButtonPressed@CEM2800Prop@@QAEHXZ", "CEM2800Prop", ClassMember::IsButtonPressed, true, 4},
        // x64 forms, with __ptr64
        {"??0CBDA2800@@QEAA@XZ", "CBDA2800", ClassMember::Constructor, true, 0},
        {"?OpenInterface@CBDA2800@@QEAAPEAXXZ", "CBDA2800", ClassMember::OpenInterface, true, 0},
        {"?OpenInterface@CBDA2800@@QEAA_KXZ", "CBDA2800", ClassMember::OpenInterface, true, 8},
        {"?GetPIO@CBDA2800@@QEAAJPEA_K@Z", "CBDA2800", ClassMember::GetPIO, true, 4},
        {"?IsButtonPressed@CBDA2800@@UEAAFXZ", "CBDA2800", ClassMember::IsButtonPressed, true, 2},
        // what must not be taken for a member
        {"??0CEM2800Prop@@QAE@ABV0@@Z", "CEM2800Prop", ClassMember::Constructor, false, 0},
        {"??4CEM2800Prop@@QAEAAV0@ABV0@@Z", "CEM2800Prop", ClassMember::Constructor, false, 0},
        {"?OpenInterface@CBDA2800@@QAEPAXXZ", "CEM2800Prop", ClassMember::OpenInterface, false, 0},
        {"?OpenInterfaceEx@CEM2800Prop@@QAEPAXXZ", "CEM2800Prop", ClassMember::OpenInterface, false, 0},
        {"?OpenInterface@CEM2800Prop@inner@@QAEPAXXZ", "CEM2800Prop", ClassMember::OpenInterface, false, 0},
        {"?OpenInterface@CEM2800Prop@@SAPAXXZ", "CEM2800Prop", ClassMember::OpenInterface, false, 0},
        {"?GetPIO@CEM2800Prop@@QAEJPAK@Z", "CEM2800Prop", ClassMember::IsButtonPressed, false, 0},
        {"?OpenInterface@CEM2800Prop@@Q", "CEM2800Prop", ClassMember::OpenInterface, false, 0},
        {"_OpenInterface@4", "CEM2800Prop", ClassMember::OpenInterface, false, 0},
        {"", "CEM2800Prop", ClassMember::Destructor, false, 0},
    };
    for (const Row& row : rows) {
        const auto match = MatchClassMember(row.name, row.cls, row.member);
        EXPECT_EQ(match.has_value(), row.matches) << row.name;
        if (match && row.matches) {
            EXPECT_EQ(match->returnBytes, row.returnBytes) << row.name;
        }
    }
}

}  // namespace
}  // namespace brelkin
