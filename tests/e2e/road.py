"""The main road of a user through the program, end to end: sign in, switch
exam bank, practise a set in practice mode and one in review mode, read the
report and the wrong-only analysis, resume and delete history, open a
collection folder, export a set to PDF, sign out, and start again."""

import os
import subprocess

import e2elib as ui
from e2elib import StepFailed

MOBILE = "13800138000"
BANK_101 = "2025国考公务员行测"
BANK_102 = "教师资格证·综合素质（中学）"


def sign_in(run):
    run.step("sign in with the SMS code")
    ui.click(ui.find("手机号", "text"))
    ui.type_text(MOBILE)
    ui.press("获取验证码")
    ui.click(ui.find("验证码", "text"))
    ui.type_text("123456")
    ui.press("登录 / 注册")
    ui.find("退出登录", "button", timeout=20)
    run.check(ui.find_all(BANK_101, "menu button"), "the home screen does not show the first exam bank")


def pick_bank(run, current, wanted):
    run.step("pick the exam bank " + wanted)
    ui.press(current, role="menu button")
    ui.press(wanted, role="menu item")
    ui.find(wanted, "menu button")
    ui.wait_gone(current, "menu button")


def open_menu(run, type_choice, menu):
    run.step("open the practice menu " + menu)
    choice = ui.find(type_choice, "radio")
    ui.click(choice)
    ui.press("进入%s做题" % menu)
    ui.find(menu, "label")


def history_rows():
    return [ui.text_of(a) for a in ui.find_all(role="button") if " 共 " in ui.text_of(a) or "未完成" in ui.text_of(a)]


def expect_progress(run, text):
    ui.wait_for(lambda: ui.find_all(text, "label"), "progress " + text)


def road(run):
    run.start_fake_service()
    run.start_program()

    run.step("the first start shows the login screen")
    ui.find("登录 / 注册", "button", timeout=30)
    sign_in(run)
    pick_bank(run, BANK_101, BANK_102)

    # Practice mode: a single-choice question by its key, a multiple-choice one by mouse.
    open_menu(run, "按知识点刷题", "教育观")
    run.check(ui.find_all("做题模式", "label"), "the set is not in practice mode")
    expect_progress(run, "1 / 2")
    run.step("answer the single-choice question with its key")
    ui.key("c")
    expect_progress(run, "2 / 2")
    run.step("answer the multiple-choice question with the mouse")
    for letter in "ABD":
        ui.press(letter)
    ui.press("确认并交卷")
    run.step("the report of the practice set")
    ui.find("练习报告", "label", timeout=20)
    ui.find("答对 2", "label")
    ui.find("答错 0", "label")
    ui.find("未答 0", "label")
    run.check(not ui.find_all("错题解析", "button"), "a report without wrong answers offers the wrong-only analysis")

    run.step("back home and switch the answer mode to review")
    ui.press(contains="返回", role="button")
    ui.press("做题模式 · 5题")
    ui.press("背题模式", role="radio")
    # The panel's confirm button is below its lower edge: scroll down to it.
    ui.scroll(ui.find("背题模式", "radio"))
    ui.press("确定")
    ui.find("背题模式 · 5题", "button")

    # Review mode: a wrong single choice, then a subjective question revealed.
    open_menu(run, "按知识点刷题", "学生观")
    run.check(ui.find_all("背题模式", "label"), "the set is not in review mode")
    expect_progress(run, "1 / 3")
    run.step("answer the single-choice question wrongly with its key")
    ui.key("x")
    ui.find("正确答案：A", "label")
    expect_progress(run, "1 / 3")
    ui.press("下一题")
    expect_progress(run, "2 / 3")
    run.step("reveal the subjective question")
    ui.press("查看解析")
    ui.wait_gone("查看解析", "button")
    ui.press("下一题")
    expect_progress(run, "3 / 3")

    # A single choice on the last question hands in at once, so the last
    # question stays open and the answer card hands in.
    run.step("hand in through the answer card's confirmation")
    ui.press("展开答题卡")
    ui.press("交卷")
    ui.find("确认交卷", "label")
    ui.find("还有 1 道题未作答，确认提交吗？", "label")
    ui.press("确认交卷", role="button")
    run.step("the report of the review set")
    ui.find("练习报告", "label", timeout=20)
    ui.find(contains="本次练习共 3 题", role="label")
    for count in ("答对 0", "答错 1", "未答 2"):
        ui.find(count, "label")

    run.step("the wrong-only analysis")
    ui.press("错题解析")
    ui.find("题目解析", "label")
    expect_progress(run, "1 / 3")  # the wrong answer and the two unanswered
    for shown in ("2 / 3", "3 / 3"):
        ui.press("下一题")
        expect_progress(run, shown)
    ui.press("上一题")
    expect_progress(run, "2 / 3")

    run.step("back to the report, home, and the first exam bank again")
    ui.press("练习报告")
    ui.find("练习报告", "label")
    ui.press("返回首页")
    pick_bank(run, BANK_102, BANK_101)

    run.step("the history")
    ui.press("练习历史")
    ui.find("练习历史 · " + BANK_101, "label")
    rows_before = history_rows()
    run.check(any(row.startswith("数学运算 ") and "未完成" in row for row in rows_before),
              "the history shows no unfinished set: %r" % rows_before)

    run.step("resume an unfinished set")
    ui.press(contains="数学运算 ", role="button")  # the first record named so is the unfinished one
    ui.find("数学运算", "label")
    ui.find("背题模式", "label")  # the answer mode chosen before
    expect_progress(run, "1 / 2")

    run.step("export the open set to PDF")
    ui.press("导出")
    dialog = ui.find("导出练习 PDF", "dialog")
    pdf = os.path.join(run.args.output, "practice.pdf")
    ui.click(ui.find("File name:", "text", root=dialog))
    ui.key("ctrl+a")
    ui.type_text(pdf)
    ui.press("Save")
    ui.find("PDF 导出成功：practice.pdf", "label", timeout=60)
    run.step("read the PDF back")
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
    run.check("Pages:" in info, "pdfinfo cannot read the export: %s" % info)
    text = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True, text=True, check=True).stdout
    squeezed = "".join(text.split())
    for expected in ("数学运算专项训练", "某单位组织员工植树", "甲、乙两人从相距60千米的两地同时出发"):
        run.check(expected in squeezed, "the PDF lacks %r; it reads: %s" % (expected, text[:400]))

    run.step("back to the history; delete a record")
    ui.press("返回")
    ui.find("练习历史 · " + BANK_101, "label")
    doomed = next(row for row in history_rows() if row.startswith("定义判断 "))
    ui.press("编辑")
    ui.press(doomed)
    ui.press("删除")
    ui.find("删除练习记录？", "label")
    ui.press("确认删除")
    ui.wait_gone(doomed, "button")
    ui.find("删除成功", "label")
    rows_after = history_rows()
    kept = [row for row in rows_before if row != doomed]
    run.check(doomed not in rows_after and all(row in rows_after for row in kept),
              "after deleting %r the history shows %r" % (doomed, rows_after))

    run.step("open a collection folder")
    if ui.find_all("完成", "button"):
        ui.press("完成")
    ui.press("返回首页")
    ui.press("我的收藏")
    ui.find("我的收藏 · " + BANK_101, "label")
    ui.press("逻辑填空 1")
    ui.find("收藏题目", "label", timeout=20)
    expect_progress(run, "1 / 1")
    ui.press("已收藏")
    ui.find("收藏", "button")  # the service took the question out
    ui.press("我的收藏")
    ui.find("我的收藏 · " + BANK_101, "label")
    ui.press("首页")

    run.step("sign out")
    header_button = ui.extents(ui.press("退出登录"))
    ui.find("确认退出登录", "label")
    # The confirmation's own button bears the same name as the header's.
    ui.click(ui.wait_for(lambda: next((b for b in ui.find_all("退出登录", "button")
                                       if ui.extents(b) != header_button), None),
                         "the confirmation's sign-out button"))
    ui.find("登录 / 注册", "button")

    run.step("start the program again: it comes back signed out")
    run.stop_program()
    run.start_program()
    ui.find("登录 / 注册", "button", timeout=30)
    ui.find("手机号", "text")
    run.check(not ui.find_all("退出登录", "button"), "the program came back signed in")


if __name__ == "__main__":
    ui.Run("road").main(road)
