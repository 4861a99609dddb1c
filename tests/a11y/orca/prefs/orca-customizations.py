# Loaded by Orca at start from its settings folder. There is no sound card and no
# synthesiser: Orca still builds every utterance, and this writes each one to
# $ORCA_SPEECH_LOG, one line each: "<seconds> <KIND> <text>", KIND being
#   SAY (spoken), SAYALL (a say-all's text), KEY (a key echoed), FOCUS (role | name
#   of where Orca thinks the user is).
# With $ORCA_DEBUG_LOG set, Orca's own debug log (every event it took and
# why it acted or not) goes to that file.
import os
import time

from orca import settings as _settings
from orca import speech as _speech

_path = os.environ["ORCA_SPEECH_LOG"]
_start = time.monotonic()
_settings.speechServerFactory = ""


def _write(kind, text):
    with open(_path, "a", encoding="utf-8") as log:
        log.write("%.2f %s %s\n" % (time.monotonic() - _start, kind, str(text).replace("\n", " / ")))


_speak = _speech._speak


def _record_speak(text, acss, interrupt):
    _write("SAY", text)
    return _speak(text, acss, interrupt)


_speech._speak = _record_speak

_say_all = _speech.sayAll


def _record_say_all(utterances, callback):
    items = list(utterances)
    for context, _acss in items:
        _write("SAYALL", context.utterance)
    return _say_all(iter(items), callback)


_speech.sayAll = _record_say_all

try:
    from orca import orca as _orca

    _set_focus = _orca.setLocusOfFocus

    def _record_focus(event, obj, notifyScript=True, force=False):
        try:
            _write("FOCUS", "%s | %s" % (obj.getRoleName(), obj.name) if obj else "None")
        except Exception as error:  # the object may be gone
            _write("FOCUS", "gone %r" % error)
        return _set_focus(event, obj, notifyScript, force)

    _orca.setLocusOfFocus = _record_focus
except Exception as error:
    _write("ERR", "focus hook: %r" % error)

if os.environ.get("ORCA_DEBUG_LOG"):
    from orca import debug as _debug
    _debug.debugLevel = _debug.LEVEL_INFO
    _debug.debugFile = open(os.environ["ORCA_DEBUG_LOG"], "w")
