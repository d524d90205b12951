#include <iterator>

#include "res/Resources.h"
#include "res/resource.h"

namespace res {
namespace {

constexpr std::uint16_t VK_RETURN = 0x0D;
constexpr std::uint16_t VK_INSERT = 0x2D;
constexpr std::uint16_t VK_DELETE = 0x2E;
constexpr std::uint16_t VK_F1 = 0x70;
constexpr std::uint16_t VK_F6 = 0x75;

constexpr std::uint8_t kCtrl = FVIRTKEY | FCONTROL;
constexpr std::uint8_t kShift = FVIRTKEY | FSHIFT;
constexpr std::uint8_t kPlain = FVIRTKEY;

constexpr AccelEntry kMainAccelerators[] = {
    {kCtrl, 'A', ID_EDIT_SELECT_ALL},
    {kCtrl, 'C', ID_EDIT_COPY},
    {kCtrl, 'D', ID_SPECIFY_DATE},
    {kCtrl, 'H', ID_SEND_HIDETERM},
    {kCtrl, 'K', ID_SPECIFY_KEYWORD},
    {kCtrl, 'N', ID_FILE_NEW},
    {kCtrl, 'O', ID_FILE_OPEN},
    {kCtrl, 'P', ID_ONLY_PICKUP},
    {kCtrl, 'S', ID_FILE_SAVE},
    {kCtrl, 'U', ID_RESTORE_ID},
    {kPlain, VK_DELETE, ID_DELETE_ID},
    {kPlain, VK_F1, ID_HELP},
    {kShift, VK_F1, ID_CONTEXT_HELP},
    {kPlain, VK_F6, ID_NEXT_PANE},
    {kShift, VK_F6, ID_PREV_PANE},
    {kPlain, VK_INSERT, ID_REGIST_ID},
    {kPlain, VK_RETURN, ID_PERSONAL_DATA},
};

constexpr AccelResource kAccelerators[] = {
    {IDR_MAINFRAME, kMainAccelerators, std::size(kMainAccelerators)},
};

}  // namespace

std::span<const AccelResource> Accelerators() {
    return kAccelerators;
}

}  // namespace res
