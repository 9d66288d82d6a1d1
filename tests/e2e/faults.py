"""Faults on the road, switched in the fake service while the program runs:
a rejected session on the first session request and on the hand-in, a
server error and a time-out on the hand-in, an undecryptable question set and
a login that expires in the middle of a set. Each checks the message the user
is shown, that the answers given so far still reach the service, and that a
retried hand-in is sent exactly once."""

import e2elib as ui
from road import BANK_101, BANK_102, expect_progress, open_menu, pick_bank, sign_in

COMMIT = "/exam/commitExam"
QUESTION_SET = "/exam/getQuestionByMenuId"
HANDSHAKE = "/security/handshake"
# The program's request limit in this run, so that a held reply times out soon.
REQUEST_LIMIT_MS = 3000


def answer_set(run):
    """Opens the two-question set and answers both: the single choice right by
    its key, the multiple choice right by mouse; stops before handing in."""
    open_menu(run, "按知识点刷题", "教育观")
    expect_progress(run, "1 / 2")
    ui.key("c")
    expect_progress(run, "2 / 2")
    for letter in "ABD":
        ui.press(letter)


def expect_report_of_both_answers(run):
    ui.find("练习报告", "label", timeout=20)
    for count in ("答对 2", "答错 0", "未答 0"):
        ui.find(count, "label")


def commits(run, set_id):
    return int(run.fake.command("commits " + set_id))


def requests(run, path):
    return int(run.fake.command("requests " + path))


def expect_banner(run, text):
    """The error banner shows the text; the user closes it (it has no timer)."""
    ui.find(text, "label", timeout=20)
    ui.press("关闭")
    ui.wait_gone(text, "label")


def no_error_banner(run, known):
    shown = [t for t in ui.visible_texts() if t in known]
    run.check(not shown, "an error is shown: %r" % shown)


def failed_hand_in_then_retry(run, fault, message, before_retry=None):
    """Hands in while the fault is on, checks the message and that the set and
    its answers are still on screen, then retries once."""
    answer_set(run)
    set_id = run.fake.command("last-set")
    run.fake.command(fault)
    sent_before = requests(run, COMMIT)
    ui.press("确认并交卷")
    expect_banner(run, message)
    # Still the same set, its last answer still chosen: the hand-in can be repeated.
    expect_progress(run, "2 / 2")
    ui.find("确认并交卷", "button")
    if before_retry:
        before_retry()
    accepted = commits(run, set_id)
    sent = requests(run, COMMIT)
    run.step("retry the hand-in")
    ui.press("确认并交卷")
    expect_report_of_both_answers(run)
    run.check(requests(run, COMMIT) == sent + 1,
              "the retry sent the hand-in %d times" % (requests(run, COMMIT) - sent))
    run.check(commits(run, set_id) == accepted + 1,
              "the service accepted %d hand-ins of the set on retry" % (commits(run, set_id) - accepted))
    run.check(requests(run, COMMIT) > sent_before, "the faulty hand-in never reached the service")
    ui.press("返回首页")
    ui.find("退出登录", "button")


def faults(run):
    run.start_fake_service()
    run.start_program({"VUZO_E2E_REQUEST_TIMEOUT_MS": str(REQUEST_LIMIT_MS)})
    ui.find("登录 / 注册", "button", timeout=30)
    errors = {"服务器错误（HTTP 430）", "登录已失效，请重新登录", "网络请求超时，请稍后重试"}

    run.step("430 on the first session request: the session is renewed unseen")
    run.fake.command("fail-next-session 430")
    handshakes = requests(run, HANDSHAKE)
    sign_in(run)
    no_error_banner(run, errors)
    run.check(requests(run, HANDSHAKE) > handshakes, "the rejected session was not renewed")
    pick_bank(run, BANK_101, BANK_102)

    run.step("430 on the hand-in: renewed and sent again unseen, accepted once")
    answer_set(run)
    set_id = run.fake.command("last-set")
    run.fake.command("fail %s 430 1" % COMMIT)
    ui.press("确认并交卷")
    expect_report_of_both_answers(run)
    no_error_banner(run, errors)
    run.check(commits(run, set_id) == 1, "the service accepted %d hand-ins" % commits(run, set_id))
    ui.press("返回首页")

    run.step("503 on the hand-in")
    failed_hand_in_then_retry(run, "fail %s 503 1" % COMMIT, "服务器错误（HTTP 503）")

    run.step("a time-out on the hand-in")
    failed_hand_in_then_retry(run, "hold " + COMMIT, "网络请求超时，请稍后重试",
                              before_retry=lambda: run.fake.command("release " + COMMIT))

    run.step("an undecryptable question set")
    run.fake.command("corrupt %s 2" % QUESTION_SET)  # the first send and the fixed-key resend
    ui.find("按知识点刷题", "radio")
    ui.press("进入教育观做题")
    shown = ui.wait_for(lambda: [t for t in ui.visible_texts()
                                 if t.startswith("响应解密失败（") or t == "服务器返回了无法识别的数据"],
                        "the decryption error")
    expect_banner(run, shown[0])
    ui.find("退出登录", "button")  # still home
    ui.press("进入教育观做题")
    expect_progress(run, "1 / 2")
    ui.press("返回")
    ui.find("退出登录", "button")

    run.step("401 in the middle of a set")
    open_menu(run, "按知识点刷题", "教育观")
    ui.key("c")
    expect_progress(run, "2 / 2")
    ui.press("A")
    set_id = run.fake.command("last-set")
    run.fake.command("revoke-tokens")
    ui.press("确认并交卷")
    expect_banner(run, "登录已失效，请重新登录")
    ui.find("登录 / 注册", "button")
    run.check(commits(run, set_id) == 0, "a hand-in with an expired login was accepted")

    run.step("sign in again after the expired login")
    sign_in_again(run)


def sign_in_again(run):
    ui.click(ui.find("验证码", "text"))
    ui.key("ctrl+a")
    ui.type_text("123456")
    ui.press("获取验证码")
    ui.press("登录 / 注册")
    ui.find("退出登录", "button", timeout=20)
    ui.find(BANK_102, "menu button")


if __name__ == "__main__":
    ui.Run("faults").main(faults)
