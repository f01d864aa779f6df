// Runs the Khronos glTF validator on one file and prints its report's counts and its error
// messages as one JSON line: node ValidateGltf.js VALIDATOR_MODULE_DIR FILE
'use strict';
const fs = require('fs');
const validator = require(process.argv[2]);

const bytes = new Uint8Array(fs.readFileSync(process.argv[3]));
validator.validateBytes(bytes, {maxIssues: 0})
    .then((report) => {
        const errors = report.issues.messages.filter((m) => m.severity === 0);
        console.log(JSON.stringify({
            errors: report.issues.numErrors,
            warnings: report.issues.numWarnings,
            messages: errors.slice(0, 20).map((m) => m.code + ' ' + m.pointer + ': ' + m.message),
        }));
    })
    .catch((failure) => {
        console.log(JSON.stringify({errors: -1, warnings: 0, messages: [String(failure)]}));
    });
