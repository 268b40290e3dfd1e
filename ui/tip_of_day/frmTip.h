#pragma once

#include <cstdint>
#include <string>

#include "ui/runtime/form.h"
#include "ui/tip_of_day/tip_collection.h"

// The tip-of-the-day window: one random tip at a time from "TIPOFDAY.TXT" beside the program,
// and a check box that decides whether the window shows at all. Whenever it closes, the main
// window shows.
class frmTip final : public Form {
  public:
    // The controls, by their index in the definition table (their creation order).
    enum ControlIndex : int {
        chkLoadTipsAtStartup,
        cmdNextTip,
        Picture1,
        Label1,
        lblTipText,
        cmdOK,
    };

    // The program's one tip window.
    static frmTip& Instance();

    frmTip();

    // Every line of every tips file loaded so far, in file order; loads only ever append.
    TipCollection TipList;
    // The entry of TipList on display; 0 until the first random choice.
    std::int32_t TipIndex = 0;

    // Adds the lines of the tips file sFile to TipList and shows one of them at random. False,
    // with TipList unchanged, when sFile is empty, names no ordinary file, or cannot be read.
    bool LoadTips(const std::wstring& sFile);
    // Shows entry TipIndex of TipList, its first 65,536 characters when longer; leaves the tip as
    // it is while TipList is empty.
    // std::out_of_range when TipIndex is not an entry of a non-empty TipList.
    void DisplayCurrentTip();

  protected:
    void Form_Load() override;
    void Form_Unload(std::int16_t& Cancel) override;
    void Click(int control) override;

  private:
    void ShowRandomTip();

    void cmdNextTip_Click();
    void cmdOK_Click();
    void chkLoadTipsAtStartup_Click();
};

// The definition table of the tip window.
const FormDef& frmTipDefinition();
