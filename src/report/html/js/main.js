// The page's start: reads the embedded report and the page's settings and draws every part.
// It notes on the body when the report was parsed and when the treemaps stood drawn
// (data-report-parsed-ms, data-treemap-drawn-ms: milliseconds since the page began loading),
// and says so on the console, so that the time a large report takes to open can be measured.

function readJsonElement(id) {
    const element = document.getElementById(id);
    const text = element === null ? "" : element.textContent;
    return text.trim() === "" ? null : JSON.parse(text);
}

// What the page's address carries after "#", so that a link can show a chosen view:
// "filter=Can" filters the entry table, "group=object" groups the treemaps, "free=1" shows
// the areas' free bytes as tiles of their own, and "treemap=program&in=Prg%20seg0&in=Lib%20" zooms a treemap into the
// tiles named, one "in" per level.
function readFragment() {
    const parameters = new URLSearchParams(window.location.hash.replace(/^#/, ""));
    return {
        filter: parameters.get("filter") || "",
        group: parameters.get("group") || "",
        free: parameters.get("free") === "1",
        treemap: parameters.get("treemap") || "",
        path: parameters.getAll("in"),
    };
}

function writeFragment(fragment) {
    const parameters = new URLSearchParams();
    if (fragment.filter) {
        parameters.set("filter", fragment.filter);
    }
    if (fragment.group) {
        parameters.set("group", fragment.group);
    }
    if (fragment.free) {
        parameters.set("free", "1");
    }
    if (fragment.treemap && fragment.path.length > 0) {
        parameters.set("treemap", fragment.treemap);
        for (const name of fragment.path) {
            parameters.append("in", name);
        }
    }
    const hash = parameters.toString();
    // A browser that keeps pages opened from disk from changing their address still shows the
    // view; only the address stays as it was.
    try {
        window.history.replaceState(null, "", hash === "" ? window.location.pathname : "#" + hash);
    } catch (refused) {
        console.info("tarvel: the address could not be updated: " + refused.message);
    }
}

function main() {
    const settings = readJsonElement("tarvel-settings") || {};
    const report = readJsonElement("tarvel-data");
    const parsed = performance.now();
    if (report === null || report.format !== "tarvel-usage") {
        throw new Error("the page holds no Tarvel usage report");
    }
    const fragment = readFragment();
    const known = (grouping) => Object.prototype.hasOwnProperty.call(groupingTitles, grouping);
    const context = {
        report: report,
        settings: settings,
        fragment: fragment,
        grouping: known(fragment.group) ? fragment.group : known(settings.grouping) ? settings.grouping : "search",
        changes: makeChanges(report),
        budgets: report.budgets || [],
    };
    const app = document.getElementById("tarvel-app");
    const summary = document.getElementById("tarvel-summary");
    if (summary !== null) {
        summary.hidden = true;
    }
    app.hidden = false;
    const treemaps = renderTreemaps(context);
    appendAll(app, [renderHeader(context), renderBars(context), renderBudgets(context), treemaps.element]);
    treemaps.draw();
    // Reading a layout figure makes the browser lay the tiles out now, inside the time taken.
    const drawn = app.offsetHeight >= 0 ? performance.now() : 0;
    appendAll(app, [
        renderSearches(context),
        renderChanges(context),
        renderEntries(context),
        renderUnplaced(context),
        renderAmbiguities(context),
    ]);
    const ready = performance.now();
    setData(document.body, {
        grouping: context.grouping,
        reportParsedMs: parsed.toFixed(1),
        treemapDrawnMs: drawn.toFixed(1),
        readyMs: ready.toFixed(1),
        ready: "1",
    });
    console.info(
        "tarvel timing: report parsed " +
            parsed.toFixed(0) +
            " ms, treemap drawn " +
            drawn.toFixed(0) +
            " ms, page ready " +
            ready.toFixed(0) +
            " ms",
    );
}

try {
    main();
} catch (error) {
    window.tarvelRecordError("Error: " + (error && error.message ? error.message : String(error)));
    const summary = document.getElementById("tarvel-summary");
    if (summary !== null) {
        summary.hidden = false;
    }
}
