/* Exports the focused window's app id, WM class and pid on the session bus
 * at /com/pictrove/FocusedWindow, with a FocusChanged signal on every focus
 * change, so Pictrove can name the front application under Wayland. */
const { Gio, GLib } = imports.gi;

const IFACE = `<node>
  <interface name="com.pictrove.FocusedWindow">
    <method name="Get">
      <arg type="s" direction="out" name="appId"/>
      <arg type="s" direction="out" name="wmClass"/>
      <arg type="u" direction="out" name="pid"/>
    </method>
    <signal name="FocusChanged">
      <arg type="s" name="appId"/>
      <arg type="s" name="wmClass"/>
      <arg type="u" name="pid"/>
    </signal>
  </interface>
</node>`;

class FocusedWindow {
    constructor() {
        this._dbus = Gio.DBusExportedObject.wrapJSObject(IFACE, this);
        this._focusId = 0;
        this._ownerId = 0;
    }

    _current() {
        const win = global.display.focus_window;
        if (!win)
            return ['', '', 0];
        // Wayland clients carry their app id as the GTK application id;
        // XWayland clients only have the WM class.
        const appId = win.get_gtk_application_id() || win.get_sandboxed_app_id() || '';
        const wmClass = win.get_wm_class() || '';
        const pid = Math.max(win.get_pid(), 0);
        return [appId, wmClass, pid];
    }

    Get() {
        return this._current();
    }

    enable() {
        this._dbus.export(Gio.DBus.session, '/com/pictrove/FocusedWindow');
        this._ownerId = Gio.DBus.session.own_name('com.pictrove.FocusedWindow',
            Gio.BusNameOwnerFlags.NONE, null, null);
        this._focusId = global.display.connect('notify::focus-window', () => {
            this._dbus.emit_signal('FocusChanged',
                new GLib.Variant('(ssu)', this._current()));
        });
    }

    disable() {
        if (this._focusId)
            global.display.disconnect(this._focusId);
        this._focusId = 0;
        if (this._ownerId)
            Gio.DBus.session.unown_name(this._ownerId);
        this._ownerId = 0;
        this._dbus.unexport();
    }
}

// eslint-disable-next-line no-unused-vars
function init() {
    return new FocusedWindow();
}
