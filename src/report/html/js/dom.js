// Building the page's elements. Text from the report goes in through textContent and data
// attributes only, never as markup: a section named like a script tag in a map is shown, not run.

// A new element with an optional class and text.
function el(tag, className, text) {
    const element = document.createElement(tag);
    if (className) {
        element.className = className;
    }
    if (text !== undefined && text !== null) {
        element.textContent = String(text);
    }
    return element;
}

// Sets data attributes: {areaName: "x"} gives data-area-name="x".
function setData(element, values) {
    for (const key of Object.keys(values)) {
        if (values[key] !== undefined && values[key] !== null) {
            element.dataset[key] = String(values[key]);
        }
    }
    return element;
}

function appendAll(parent, children) {
    for (const child of children) {
        if (child) {
            parent.appendChild(child);
        }
    }
    return parent;
}

// A section of the report with its heading.
function reportSection(id, title) {
    const section = el("section", "report-section");
    section.id = id;
    section.appendChild(el("h2", "", title));
    return section;
}

// A button that runs `action` when clicked.
function button(text, className, action) {
    const element = el("button", className, text);
    element.type = "button";
    element.addEventListener("click", action);
    return element;
}
