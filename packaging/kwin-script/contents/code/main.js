// Reports every window activation to Pictrove on the session bus, so Pictrove can name the
// front application under KWin's Wayland session, where no other client may read it.
// Plasma 6 names the signal windowActivated and the property activeWindow; Plasma 5 names
// them clientActivated and activeClient. Every argument goes out as a string: how a script
// number becomes a D-Bus type differs between the two script engines.
var SERVICE = "com.pictrove.ActiveWindow";
var PATH = "/com/pictrove/ActiveWindow";
var INTERFACE = "com.pictrove.ActiveWindow";

function text(value) {
    return value === undefined || value === null ? "" : String(value);
}

function report(window) {
    var resourceClass = window ? text(window.resourceClass) : "";
    var desktopFileName = window ? text(window.desktopFileName) : "";
    var pid = window && window.pid > 0 ? String(window.pid) : "0";
    callDBus(SERVICE, PATH, INTERFACE, "Activated", resourceClass, desktopFileName, pid);
}

if (workspace.windowActivated) {
    workspace.windowActivated.connect(report);
    report(workspace.activeWindow);
} else {
    workspace.clientActivated.connect(report);
    report(workspace.activeClient);
}
