#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# What a screen reader finds: starts the program on a content folder, reads each window's
# accessible tree over AT-SPI, checks names, roles and actions, and drives the program
# through press actions alone: a section and back, the catalogue and back, the search (opened
# with Ctrl+F) and back, help and back, then by the keyboard alone, following the focus (Tab,
# the arrows, Space, the menu's keys), then the exit confirmation answered "НЕТ", then "ДА",
# after which the program ends with 0.
#
# usage: test_atspi.py PROGRAM CONTENT_DIR   (needs a display, a session bus and the
# accessibility bus; see run.sh)
import os
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# The action calls that replace these are not in every version of the library.
warnings.simplefilter("ignore", DeprecationWarning)

PRESS = "Press"
MENU = [
    ("Как выбрать собаку", "Клавиша 1"),
    ("Физиология собаки", "Клавиша 2"),
    ("Кормление и обустройство", "Клавиша 3"),
    ("Лечение собаки", "Клавиша 4"),
    ("Дрессировка собак", "Клавиша 5"),
    ("Каталог пород", "Клавиша 6"),
]
BACK = ("Вернуться в Главное меню", "Клавиши Escape или Alt+Стрелка влево")
HINT = ("Клавиши от 1 до 6 открывают пункты меню, F1 справку, Escape выход, Ctrl+M сворачивает. "
        "Поиск по справочнику Ctrl+F, любая буква или меню правой кнопки мыши. Подбор породы "
        "клавиша 7. Ночной режим Ctrl+Shift+N.")
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)


def actions(acc):
    action = acc.get_action_iface()
    if not action:
        return []
    return [action.get_action_name(i) for i in range(action.get_n_actions())]


def states(acc):
    s = acc.get_state_set()
    return {n for n in ("showing", "visible", "enabled", "sensitive", "focusable")
            if s.contains(getattr(Atspi.StateType, n.upper()))}


def focused(acc):
    if acc is None:
        return False
    # Asked of the program each time: a state set the library kept from an earlier question
    # may miss the focus event that changed it (seen on a busy machine).
    acc.clear_cache()
    return acc.get_state_set().contains(Atspi.StateType.FOCUSED)


def children(acc):
    return [acc.get_child_at_index(i) for i in range(acc.get_child_count())]


def focus_of(window):
    """The control of a window that has the focus; in a list, its focused entry."""
    for kid in children(window):
        if focused(kid):
            if kid.get_role_name() == "list":
                return next((k for k in children(kid) if focused(k)), kid)
            return kid
    return None


def key(*keys):
    """Keys as the keyboard sends them, to the window that has it."""
    subprocess.run(["xdotool", "key", "--delay", "50"] + list(keys), check=False)


def spoken(acc):
    """What a screen reader says of a control: name, role and description."""
    if acc is None:
        return "nothing"
    return ", ".join(x for x in (acc.get_name(), acc.get_role_name(), acc.get_description()) if x)


def give_keyboard(window):
    """Without a window manager no window has the keyboard until it is given it. Given again
    until the window says it is active: on a busy machine X may not show it yet."""
    def given():
        try:
            subprocess.run(["xdotool", "search", "--onlyvisible", "--name", window.get_name(),
                            "windowfocus", "--sync"], check=False, timeout=5)
        except subprocess.TimeoutExpired:
            pass
        return window.get_state_set().contains(Atspi.StateType.ACTIVE)
    return wait_for("the keyboard on «%s»" % window.get_name(), given, 30)


def walk_focus(window, keys, count):
    """What has the focus after each of count presses of keys."""
    heard = []
    for _ in range(count):
        before = focus_of(window)
        key(*keys)
        now = wait_for("the focus to move from %s" % spoken(before),
                       lambda: (lambda f: f if f and spoken(f) != spoken(before) else None)(
                           focus_of(window)), 15)
        heard.append(spoken(now))
    return heard


def hear_said(what, expected, timeout=15):
    """Waits for a notification the program shows (what a screen reader says unasked, the
    focus staying where it is); expected: its name, or a function that accepts it."""
    accepts = expected if callable(expected) else (lambda name: name == expected)
    got = wait_for("%s said" % what, lambda: next((n for n in said if accepts(n)), None), timeout)
    check(got is not None, "%s said: %s (all said: %s)" % (what, got, said))
    del said[:]
    return got


def check_keyboard(app, menu, main_name):
    """By the keyboard alone: Tab and the arrows go through the main window's buttons in the
    order of the screen, each heard with its name, its role and its key, as do the exit
    question's answers, where Space presses the one the focus is on; a section opens with
    its first topic's text named by that topic, the catalogue with its first breed named in
    the list."""
    give_keyboard(menu)
    check(focus_of(menu) is None, "no control of the main window has the focus at first")
    # The zoom and the night mode are heard where the focus is, and move it nowhere.
    del said[:]
    key("ctrl+equal")
    hear_said("the zoom by Ctrl+=", "125 %")
    key("ctrl+0")
    hear_said("the zoom by Ctrl+0", "100 %")
    key("ctrl+shift+n")
    hear_said("night mode by Ctrl+Shift+N", "Ночной режим")
    key("ctrl+shift+n")
    hear_said("day by Ctrl+Shift+N again", "Дневной режим")
    check(focus_of(menu) is None, "the zoom and the night mode leave the focus where it was")
    heard = walk_focus(menu, ["Tab"], 10)
    expected = ["Справка, push button, Клавиша F1", "Свернуть, push button, Клавиши Ctrl+M",
                "Выход, push button, Клавиша Escape"] + [
                    "%s, push button, %s" % MENU[i] for i in (1, 0, 2, 3, 4, 5)] + [
                    "Справка, push button, Клавиша F1"]
    check(heard == expected, "Tab on the main window, in the order of the screen: %s" % heard)
    heard = walk_focus(menu, ["Down"], 1) + walk_focus(menu, ["Up"], 1)
    check(heard == ["Свернуть, push button, Клавиши Ctrl+M", "Справка, push button, Клавиша F1"],
          "the arrows on the main window: %s" % heard)

    key("Escape")
    exit_box = wait_for("the exit question by Escape", lambda: shown_window(app, "Выход"))
    if exit_box:
        heard = walk_focus(exit_box, ["Tab"], 2)
        check(heard == ["ДА, push button, Клавиша Enter", "НЕТ, push button, Клавиша Escape"],
              "Tab in the exit question: %s" % heard)
        key("space")
        wait_for("«НЕТ» pressed by Space", lambda: not shown_window(app, "Выход"))

    key("4")
    reader = wait_for("the reader by key 4", lambda: shown_window(app, "Лечение собаки"))
    if reader:
        text = wait_for("the focus in the reader", lambda: focus_of(reader))
        labels = [k.get_name() for k in children(reader) if k.get_role_name() == "label"]
        check(text is not None and text.get_role_name() == "text"
              and text.get_description() == "Текст темы" and text.get_name() in labels
              and text.get_name() != "Лечение собаки",
              "the section opens with its text named by the topic shown: %s (titles %s)"
              % (spoken(text), labels))
        key("Escape")
    wait_for("the main window again", lambda: shown_window(app, main_name))

    del focus_heard[:]
    key("6")
    catalogue = wait_for("the catalogue by key 6", lambda: shown_window(app, "Каталог пород"))
    if catalogue:
        entry = wait_for("the focus in the catalogue", lambda: focus_of(catalogue))
        labels = [k.get_name() for k in children(catalogue) if k.get_role_name() == "label"]
        check(entry is not None and entry.get_role_name() == "list item"
              and entry.get_name() in labels,
              "the catalogue opens with the breed shown named in its list: %s (labels %s)"
              % (spoken(entry), labels))
        # The list first, then its entry: the last thing heard names the breed.
        wait_for("the entry heard after the list",
                 lambda: focus_heard[-2:] == ["Породы, list", spoken(entry)])
        check(focus_heard[-2:] == ["Породы, list", spoken(entry)],
              "entering the list, the breed is heard after the list: %s" % focus_heard)
        key("Escape")
    wait_for("the main window again", lambda: shown_window(app, main_name))

    key("F1")
    help_window = wait_for("help by F1", lambda: shown_window(app, "Справка"))
    if help_window:
        heard = walk_focus(help_window, ["Tab"], 3)
        check("Сайт автора, push button" in heard, "Tab in help reaches the site: %s" % heard)
        key("Escape")
    wait_for("help closed", lambda: not shown_window(app, "Справка"))


def word_at_end(field):
    """The word a screen reader asks for with the caret at the end (Ctrl+Right there), or
    None when the program gives no answer in time."""
    text = field.get_text_iface()
    length = text.get_character_count()
    try:
        got = text.get_text_at_offset(length, Atspi.TextBoundaryType.WORD_START)
    except GLib.GError as error:
        print("      %s" % error, flush=True)
        return None
    return "%s %d-%d" % (got.content, got.start_offset, got.end_offset)


def describe(acc, depth=0):
    line = "%s%s «%s»" % ("  " * depth, acc.get_role_name(), acc.get_name())
    if acc.get_description():
        line += " (%s)" % acc.get_description()
    if actions(acc):
        line += " actions=%s" % actions(acc)
    print(line, flush=True)
    # A list's entries are many; two of them say what they are.
    kids = children(acc)
    for kid in kids[:2] if acc.get_role_name() == "list" else kids:
        describe(kid, depth + 1)
    if acc.get_role_name() == "list" and len(kids) > 2:
        print("%s… %d entries" % ("  " * (depth + 1), len(kids)), flush=True)


# What a screen reader is told gains the focus, in order (events arrive while wait_for waits).
focus_heard = []


# The notifications the program shows, by name, in order.
said = []


def hear_shown(event):
    try:
        if event.detail1 and event.source.get_role_name() == "notification":
            said.append(event.source.get_name())
    except GLib.GError:
        pass


def hear_focus(event):
    if event.detail1:
        try:
            focus_heard.append(spoken(event.source))
        except GLib.GError:
            pass


def wait_for(what, predicate, timeout=30.0):
    end = time.monotonic() + timeout
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    check(False, "in time: " + what)
    return None


def find_app(pid):
    desktop = Atspi.get_desktop(0)
    for app in children(desktop):
        if app and app.get_process_id() == pid:
            app.set_cache_mask(Atspi.Cache.NONE)
            return app
    return None


def shown_window(app, name):
    for window in children(app):
        if window and window.get_name() == name and "showing" in states(window):
            return window
    return None


def child_named(window, name, role="push button"):
    for kid in children(window):
        if kid.get_name() == name and kid.get_role_name() == role:
            return kid
    return None


def press(window, name, ends=False):
    button = child_named(window, name)
    check(button is not None, "«%s» has a push button «%s»" % (window.get_name(), name))
    if button:
        try:
            done = button.get_action_iface().do_action(actions(button).index(PRESS))
        except GLib.GError:
            # A press that ends the program may take the answer with it.
            done = ends
        check(done, "pressed «%s»" % name)


def check_window(window, role, buttons, others):
    """buttons: [(name, description or None)], others: [(role, name)]"""
    name = window.get_name()
    describe(window)
    check(window.get_role_name() == role, "«%s» is a %s" % (name, role))
    kids = children(window)
    roles = [k.get_role_name() for k in kids]
    check("filler" not in roles and "panel" not in roles and "unknown" not in roles,
          "«%s» shows no surfaces, lines or frames: %s" % (name, roles))
    for b, description in buttons:
        button = child_named(window, b)
        check(button is not None and actions(button) == [PRESS],
              "«%s»: push button «%s» with a press action" % (name, b))
        if button and description:
            check(button.get_description() == description,
                  "«%s»: «%s» says %s" % (name, b, description))
        # The description names the keys; a key binding too would be said a second time.
        if button and actions(button):
            binding = button.get_action_iface().get_key_binding(0)
            check(not binding, "«%s»: «%s» has no key binding besides: «%s»" % (name, b, binding))
    for r, n in others:
        check(child_named(window, n, r) is not None, "«%s»: %s «%s»" % (name, r, n))


def main():
    program, content = sys.argv[1], sys.argv[2]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
               QT_SCALE_FACTOR="1")
    # A program that hangs answers nothing: a question fails after 10 s rather than waits.
    Atspi.set_timeout(10000, 15000)
    # The accessibility bus and its registry up before the program looks for them.
    Atspi.get_desktop(0).get_child_count()
    listener = Atspi.EventListener.new(hear_focus)
    listener.register("object:state-changed:focused")
    shown_listener = Atspi.EventListener.new(hear_shown)
    shown_listener.register("object:state-changed:showing")
    proc = subprocess.Popen([program], cwd=content, env=env)
    try:
        app = wait_for("the program on the accessibility bus", lambda: find_app(proc.pid), 30)
        if not app:
            return 1
        main_name = "Пёсограф, главное меню"
        menu = wait_for("the main window", lambda: shown_window(app, main_name))
        if not menu:
            return 1
        check_window(menu, "frame",
                     MENU + [("Справка", "Клавиша F1"), ("Свернуть", "Клавиши Ctrl+M"),
                             ("Выход", "Клавиша Escape")],
                     [("label", "Пёсограф"), ("image", "Фото собаки")])
        check(menu.get_description() == HINT, "the main window says its keys when it first "
              "appears: %s" % menu.get_description())
        check_keyboard(app, menu, main_name)
        # Said once: the window comes back without them; its title keeps them.
        title = child_named(menu, "Пёсограф", "label")
        check(menu.get_description() == "" and title is not None
              and title.get_description() == HINT,
              "back on the main window, its keys are not said again but kept by its title: "
              "«%s», «%s»" % (menu.get_description(), title and title.get_description()))

        press(menu, "Лечение собаки")
        reader = wait_for("the reader", lambda: shown_window(app, "Лечение собаки"))
        if reader:
            check_window(reader, "frame", [BACK], [("list", "Темы"), ("label", "Лечение собаки")])
            check("showing" not in states(menu), "the main window is hidden")
            press(reader, BACK[0])
        menu = wait_for("the main window again", lambda: shown_window(app, main_name))

        press(menu, "Каталог пород")
        catalogue = wait_for("the catalogue", lambda: shown_window(app, "Каталог пород"))
        if catalogue:
            check_window(catalogue, "frame", [BACK],
                         [("list", "Породы"), ("text", "Описание породы")])
            press(catalogue, BACK[0])
        menu = wait_for("the main window again", lambda: shown_window(app, main_name))

        # The search, opened with Ctrl+F from the keyboard (xdotool), typed into through the text
        # interface, left by its back button.
        if menu:
            give_keyboard(menu)
        key("ctrl+f")
        search = wait_for("the search", lambda: shown_window(app, "Поиск по справочнику"))
        if search:
            field = child_named(search, "Искать", "text")
            check(field is not None, "the search has a text field «Искать»")
            if field:
                # Nothing found: heard once typing pauses; Down says it again, the focus
                # staying in the field (the note is no entry to go to).
                del said[:]
                field.get_editable_text_iface().set_text_contents("зебразебра")
                hear_said("nothing found", "Ничего не найдено")
                key("Down")
                hear_said("nothing found, on Down", "Ничего не найдено")
                check(focused(field), "Down with nothing found leaves the focus in the field")
                field.get_editable_text_iface().set_text_contents("клещ")
                heard = word_at_end(field)
                check(heard == "клещ 0-4", "the word at the end of the search field: %s" % heard)
            results = wait_for("results", lambda: (child_named(search, "Результаты поиска", "list")
                                                   if child_named(search, "Результаты поиска", "list")
                                                   and child_named(search, "Результаты поиска", "list")
                                                   .get_child_count() else None))
            check_window(search, "frame", [BACK],
                         [("text", "Искать"), ("list", "Результаты поиска"),
                          ("text", "Найденный отрывок"), ("label", "Поиск по справочнику")])
            if results:
                count = hear_said("the count once typing pauses",
                                  lambda n: n.startswith("Найдено ") and ":" not in n)
                found = child_named(search, count or "", "label")
                check(found is not None, "the count is the found line, in words: %s" % count)
                first = results.get_child_at_index(0).get_name()
                check(first == "Лечение собаки, Клещи и пироплазмоз",
                      "the first result is the ticks topic: %s" % first)
                # Typing leaves the focus in the field; Down hands it to the first result.
                check(focused(field) and not any(focused(k) for k in children(results)),
                      "typing leaves the focus in the field")
                subprocess.run(["xdotool", "key", "Down"], check=False)
                item = wait_for("a result focused", lambda: next(
                    (k for k in children(results) if focused(k)), None))
                check(item is not None and item.get_name() == first,
                      "Down focuses the first result: %s" % (item and item.get_name()))
                # Enter opens the topic: the focus, and what is heard last, is its text,
                # named by its title; the topic list is not heard.
                del focus_heard[:]
                key("Return")
                reader = wait_for("the reader by Enter on the result",
                                  lambda: shown_window(app, "Лечение собаки"))
                if reader:
                    title = "Клещи и пироплазмоз"
                    text = wait_for("the focus on the topic's text", lambda: (
                        lambda t: t if t and t.get_name() == title else None)(focus_of(reader)))
                    check(text is not None and text.get_role_name() == "text",
                          "the topic from the search opens with the focus on its text: %s"
                          % spoken(text))
                    # Its description says that the words found are marked, and the keys.
                    spoken_text = ("%s, text, Текст темы, найденные слова отмечены, "
                                   "F3 следующее, Shift+F3 предыдущее" % title)
                    wait_for("the text heard last", lambda: focus_heard[-1:] == [spoken_text])
                    check(focus_heard[-1:] == [spoken_text]
                          and not any("list" in h for h in focus_heard),
                          "opening the topic, the text is heard by its title, no list: %s"
                          % focus_heard)
                    press(reader, BACK[0])
            else:
                press(search, BACK[0])
        menu = wait_for("the main window again", lambda: shown_window(app, main_name))

        press(menu, "Справка")
        help_window = wait_for("help", lambda: shown_window(app, "Справка"))
        if help_window:
            check_window(help_window, "dialog", [BACK, ("Сайт автора", None)],
                         [("text", "Адрес электронной почты")])
            address = child_named(help_window, "Адрес электронной почты", "text")
            if address:
                heard = word_at_end(address)
                check(heard == "org 16-19", "the word at the end of the address: %s" % heard)
                runs = address.get_text_iface().get_attribute_run(0, False)
                check((runs[1], runs[2]) == (0, 19),
                      "the address is one run of text: %d-%d" % (runs[1], runs[2]))
            menu_item = child_named(menu, MENU[0][0])
            check("enabled" not in states(menu_item),
                  "the main menu is unavailable while help is open")
            press(help_window, BACK[0])
        wait_for("help closed", lambda: not shown_window(app, "Справка"))

        press(menu, "Выход")
        exit_box = wait_for("the exit confirmation", lambda: shown_window(app, "Выход"))
        if exit_box:
            check_window(exit_box, "alert",
                         [("ДА", "Клавиша Enter"), ("НЕТ", "Клавиша Escape")],
                         [("label", "Вы действительно хотите выйти? ДА, клавиша Enter. "
                                    "НЕТ, клавиша Escape.")])
            press(exit_box, "НЕТ")
        wait_for("the exit confirmation closed", lambda: not shown_window(app, "Выход"))
        check(proc.poll() is None, "«НЕТ» keeps the program running")
        wait_for("the main menu available again",
                 lambda: "enabled" in states(child_named(menu, MENU[0][0]) or menu))

        press(menu, "Выход")
        exit_box = wait_for("the exit confirmation again", lambda: shown_window(app, "Выход"))
        if exit_box:
            press(exit_box, "ДА", ends=True)
        try:
            check(proc.wait(timeout=10) == 0, "«ДА» ends the program with status 0")
        except subprocess.TimeoutExpired:
            check(False, "«ДА» ends the program")
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    print("%d failure(s)" % len(failures), flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
