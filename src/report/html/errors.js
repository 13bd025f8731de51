// Errors of the page's script, and anything the policy refused, are written into the page:
// a reader sees them, and so does a test that looks at the page's content.
(function () {
    "use strict";
    var log = null;
    function record(text) {
        log = log || document.getElementById("tarvel-errors");
        if (!log) {
            window.tarvelEarlyErrors = (window.tarvelEarlyErrors || []).concat([text]);
            return;
        }
        log.hidden = false;
        log.dataset.count = String(Number(log.dataset.count || "0") + 1);
        log.appendChild(document.createTextNode(text + "\n"));
    }
    window.tarvelRecordError = record;
    window.addEventListener("error", function (event) {
        record("Error: " + event.message + " (line " + event.lineno + ")");
    });
    window.addEventListener("unhandledrejection", function (event) {
        record("Unhandled rejection: " + String(event.reason));
    });
    document.addEventListener("securitypolicyviolation", function (event) {
        record("Refused by the page's policy: " + event.violatedDirective + " " + event.blockedURI);
    });
    var consoleError = console.error;
    console.error = function () {
        record("Console: " + Array.prototype.join.call(arguments, " "));
        consoleError.apply(console, arguments);
    };
})();
