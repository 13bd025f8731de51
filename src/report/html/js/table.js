// A table over many rows that stays quick: it shows one page of rows at a time, sorts by any
// column on a click on its heading (a second click turns the order round) and keeps the rows
// whose text matches a filter. Rows are positions 0 to count - 1; the columns say what each
// shows. Without a sort or a filter no list of rows is made at all.

const tablePageSize = 200;

function escapeForPattern(text) {
    return text.replace(/[.*+?^${}()|[\]\\]/g, "\\$&");
}

// tableInput: {id, caption, count, columns: [{title, numeric, value(row), text(row)}],
//        matches(row, pattern) or none for a table without a filter, filter: initial text,
//        onFilter(text)}
function dataTable(tableInput) {
    const state = { order: null, rows: null, sortColumn: -1, descending: false, filter: "", page: 0 };
    const element = setData(el("div", "data-table"), { table: tableInput.id, total: tableInput.count });
    const controls = el("div", "table-controls");
    const status = el("span", "table-status");
    const pager = el("span", "table-pager");
    const table = el("table");
    const head = el("thead");
    const body = el("tbody");
    let input = null;
    let filterTimer = 0;

    if (tableInput.caption) {
        table.appendChild(el("caption", "", tableInput.caption));
    }
    const headRow = el("tr");
    tableInput.columns.forEach((column, index) => {
        const cell = el("th", column.numeric ? "numeric" : "");
        cell.setAttribute("scope", "col");
        cell.appendChild(button(column.title, "sort", () => sortBy(index)));
        headRow.appendChild(cell);
    });
    head.appendChild(headRow);
    appendAll(table, [head, body]);

    if (tableInput.matches) {
        input = el("input", "table-filter");
        input.type = "search";
        input.placeholder = "Filter";
        input.setAttribute("aria-label", "Filter the rows of " + (tableInput.caption || "the table"));
        input.addEventListener("input", () => {
            window.clearTimeout(filterTimer);
            // Filtering a million rows takes a moment: wait until the typing pauses.
            filterTimer = window.setTimeout(() => setFilter(input.value), tableInput.count > 20000 ? 250 : 60);
        });
        controls.appendChild(input);
    }
    appendAll(controls, [status, pager]);
    const scroller = el("div", "table-scroll");
    scroller.appendChild(table);
    appendAll(element, [controls, scroller]);

    const rowCount = () => (state.rows === null ? tableInput.count : state.rows.length);
    const rowAt = (position) => (state.rows === null ? position : state.rows[position]);

    function applyFilter() {
        if (state.filter === "") {
            state.rows = state.order;
            return;
        }
        const pattern = new RegExp(escapeForPattern(state.filter), "i");
        const kept = new Uint32Array(tableInput.count);
        let count = 0;
        for (let i = 0; i < tableInput.count; i += 1) {
            const row = state.order === null ? i : state.order[i];
            if (tableInput.matches(row, pattern)) {
                kept[count] = row;
                count += 1;
            }
        }
        state.rows = kept.subarray(0, count);
    }

    function sortBy(index) {
        const column = tableInput.columns[index];
        state.descending = state.sortColumn === index ? !state.descending : column.numeric === true;
        state.sortColumn = index;
        const keys = column.numeric ? new Float64Array(tableInput.count) : new Array(tableInput.count);
        const order = new Uint32Array(tableInput.count);
        for (let i = 0; i < tableInput.count; i += 1) {
            keys[i] = column.value(i);
            order[i] = i;
        }
        const sign = state.descending ? -1 : 1;
        // Equal keys keep the report's order, whichever way round.
        if (column.numeric) {
            order.sort((a, b) => sign * (keys[a] - keys[b]) || a - b);
        } else {
            order.sort((a, b) => (keys[a] < keys[b] ? -sign : keys[a] > keys[b] ? sign : a - b));
        }
        state.order = order;
        applyFilter();
        state.page = 0;
        render();
    }

    function setFilter(text) {
        state.filter = text;
        if (input !== null && input.value !== text) {
            input.value = text;
        }
        applyFilter();
        state.page = 0;
        render();
        if (tableInput.onFilter) {
            tableInput.onFilter(text);
        }
    }

    function goTo(page) {
        state.page = page;
        render();
    }

    function render() {
        const count = rowCount();
        const pages = Math.max(1, Math.ceil(count / tablePageSize));
        state.page = Math.min(Math.max(0, state.page), pages - 1);
        const first = state.page * tablePageSize;
        const last = Math.min(count, first + tablePageSize);
        body.textContent = "";
        const fragment = document.createDocumentFragment();
        for (let position = first; position < last; position += 1) {
            const row = rowAt(position);
            const line = setData(el("tr"), { row: row });
            for (const column of tableInput.columns) {
                line.appendChild(el("td", column.numeric ? "numeric" : "", column.text(row)));
            }
            fragment.appendChild(line);
        }
        body.appendChild(fragment);
        headRow.querySelectorAll("th").forEach((cell, index) => {
            const order = state.descending ? "descending" : "ascending";
            cell.setAttribute("aria-sort", index === state.sortColumn ? order : "none");
        });
        setData(element, { rows: count, page: state.page + 1, pages: pages, shown: last - first });
        let text =
            count === 0
                ? "No rows"
                : "Rows " + formatInt(first + 1) + "\u2013" + formatInt(last) + " of " + formatInt(count);
        if (count !== tableInput.count) {
            text += " (filtered from " + formatInt(tableInput.count) + ")";
        }
        status.textContent = text;
        pager.textContent = "";
        if (pages > 1) {
            const go = (title, page, enabled) => {
                const control = button(title, "page", () => goTo(page));
                control.disabled = !enabled;
                return control;
            };
            appendAll(pager, [
                go("\u00ab First", 0, state.page > 0),
                go("\u2039 Previous", state.page - 1, state.page > 0),
                el("span", "page-number", "page " + formatInt(state.page + 1) + " of " + formatInt(pages)),
                go("Next \u203a", state.page + 1, state.page < pages - 1),
                go("Last \u00bb", pages - 1, state.page < pages - 1),
            ]);
        }
    }

    if (tableInput.filter) {
        if (input !== null) {
            input.defaultValue = tableInput.filter;
        }
        state.filter = tableInput.filter;
        applyFilter();
    }
    render();
    return { element: element, setFilter: setFilter };
}
