#!/usr/bin/python3
# The smallest WebKitGTK browser that WebKitWebDriver can drive, for engines.mjs: one window per
# page the driver asks for, sound allowed to start after a click as in a browser.
import gi

gi.require_version("Gtk", "3.0")
gi.require_version("WebKit2", "4.1")
from gi.repository import Gtk, WebKit2  # noqa: E402

context = WebKit2.WebContext.get_default()
context.set_automation_allowed(True)


def started(context, session):
    info = WebKit2.ApplicationInfo()
    info.set_name("webkit_host")
    info.set_version(WebKit2.get_major_version(), WebKit2.get_minor_version(), WebKit2.get_micro_version())
    session.set_application_info(info)

    def create_view(session):
        settings = WebKit2.Settings(enable_write_console_messages_to_stdout=True,
                                    enable_webaudio=True, enable_media=True)
        view = WebKit2.WebView(web_context=context, settings=settings, is_controlled_by_automation=True)
        window = Gtk.Window()
        window.set_default_size(1024, 768)
        window.add(view)
        window.show_all()
        return view

    session.connect("create-web-view", create_view)


context.connect("automation-started", started)
Gtk.main()
