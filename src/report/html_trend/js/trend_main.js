// The trend page's start: reads the embedded trend and draws the header, a chart per area
// and the table of the builds. It notes on the body when the page stood drawn
// (data-ready-ms, milliseconds since the page began loading) and says so on the console.

function readTrend() {
    const element = document.getElementById("tarvel-trend");
    const text = element === null ? "" : element.textContent;
    const trend = text.trim() === "" ? null : JSON.parse(text);
    if (trend === null || trend.format !== "tarvel-trend") {
        throw new Error("the page holds no Tarvel memory trend");
    }
    return trend;
}

function renderTrendHeader(trend) {
    const header = el("header", "report-header");
    header.appendChild(el("h1", "", "Tarvel memory trend"));
    const list = el("dl", "inputs");
    const item = (field, term, value) => {
        list.appendChild(el("dt", "", term));
        list.appendChild(setData(el("dd", "", value), { field: field }));
    };
    const builds = trend.builds;
    item("target", "Target", trend.target);
    item("branch", "Branch", trend.branch);
    let span = formatCount(builds.length, "build", "builds");
    if (builds.length > 0) {
        span += ", " + builds[0].time + " to " + builds[builds.length - 1].time;
    }
    item("builds", "Builds", span);
    if (builds.length > 0) {
        item("latest", "Latest commit", builds[builds.length - 1].commit);
    }
    header.appendChild(list);
    return header;
}

function renderCharts(trend, changes) {
    const section = reportSection("tarvel-charts", "Memory use per area");
    if (trend.builds.length === 0 || trend.areas.length === 0) {
        section.appendChild(el("p", "note", "Nothing to draw: no build with a memory area is stored."));
        return section;
    }
    const legend = el("div", "legend");
    const key = (className, text) => {
        const item = el("span", "legend-item");
        appendAll(item, [el("span", "trend-key " + className), el("span", "", text)]);
        return item;
    };
    appendAll(legend, [
        key("trend-key-used", "used bytes"),
        key("trend-key-size", "size of the area"),
        key("trend-key-step", "the " + largestStepCount + " largest steps, numbered"),
        el("span", "", "Point at a chart, or focus it and use the arrow keys, for a build's figures."),
    ]);
    section.appendChild(legend);
    trend.areas.forEach((area, index) => {
        section.appendChild(renderAreaChart(area, trend.builds, changes[index]));
    });
    return section;
}

function trendMain() {
    const trend = readTrend();
    const parsed = performance.now();
    const changes = trend.areas.map((area) => figureChanges(area.used));
    const app = document.getElementById("tarvel-app");
    const summary = document.getElementById("tarvel-summary");
    if (summary !== null) {
        summary.hidden = true;
    }
    app.hidden = false;
    appendAll(app, [renderTrendHeader(trend), renderCharts(trend, changes), renderBuildTable(trend, changes)]);
    const ready = app.offsetHeight >= 0 ? performance.now() : 0;
    setData(document.body, { trendParsedMs: parsed.toFixed(1), readyMs: ready.toFixed(1), ready: "1" });
    console.info("tarvel timing: trend parsed " + parsed.toFixed(0) + " ms, page ready " + ready.toFixed(0) + " ms");
}

try {
    trendMain();
} catch (error) {
    window.tarvelRecordError("Error: " + (error && error.message ? error.message : String(error)));
    const summary = document.getElementById("tarvel-summary");
    if (summary !== null) {
        summary.hidden = false;
    }
}
