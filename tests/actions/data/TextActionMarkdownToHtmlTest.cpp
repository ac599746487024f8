#include "actions/data/TextActionMarkdownToHtml.h"
#include "actions/data/HtmlPrettyPrinter.h"
#include "core/ActionFactory.h"

#include "support/ActionCases.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace lexorra;

namespace {

using lexorra::testing::Row;

std::string document(const std::string& body) {
    return "<html>\n <head></head>\n <body>" + body + "\n </body>\n</html>";
}

std::string run(std::string_view markdown) {
    return TextActionMarkdownToHtml().transform(markdown);
}

} // namespace

TEST(MarkdownToHtml, Table) {
    const Row cases[] = {
        // Document shape
        {"empty input", "", "<html>\n <head></head>\n <body></body>\n</html>"},
        {"blank lines only", "\n\n  \n", "<html>\n <head></head>\n <body></body>\n</html>"},
        {"heading", "# Title", document("\n  <h1>Title</h1>")},
        {"heading levels", "## a\n###### b", document("\n  <h2>a</h2>\n  <h6>b</h6>")},
        {"two paragraphs", "one\n\ntwo\n", document("\n  <p>one</p>\n  <p>two</p>")},
        {"soft break joins lines", "one\ntwo", document("\n  <p>one two</p>")},
        {"hard break", "one  \ntwo", document("\n  <p>one<br> two</p>")},
        {"rule", "a\n\n***\n", document("\n  <p>a</p>\n  <hr>")},
        // Inline elements stay on their line
        {"emphasis", "*a* **b** `c`", document("\n  <p><em>a</em> <strong>b</strong> <code>c</code></p>")},
        {"strikethrough", "~~gone~~ kept", document("\n  <p><del>gone</del> kept</p>")},
        {"link", "[x](http://e.org/?a=1&b=2 \"t\")",
         document("\n  <p><a href=\"http://e.org/?a=1&amp;b=2\" title=\"t\">x</a></p>")},
        {"autolink", "see www.example.com now",
         document("\n  <p>see <a href=\"http://www.example.com\">www.example.com</a> now</p>")},
        {"image", "![alt](p.png)", document("\n  <p><img src=\"p.png\" alt=\"alt\"></p>")},
        // Blocks indent one space per level
        {"list", "- a\n- b", document("\n  <ul>\n   <li>a</li>\n   <li>b</li>\n  </ul>")},
        {"ordered list", "1. a\n2. b", document("\n  <ol>\n   <li>a</li>\n   <li>b</li>\n  </ol>")},
        {"nested list", "- a\n  - b",
         document("\n  <ul>\n   <li>a\n    <ul>\n     <li>b</li>\n    </ul></li>\n  </ul>")},
        {"task list", "- [ ] a\n- [x] b",
         document("\n  <ul>\n   <li><input type=\"checkbox\" disabled> a</li>\n"
                  "   <li><input type=\"checkbox\" checked disabled> b</li>\n  </ul>")},
        {"block quote", "> q", document("\n  <blockquote>\n   <p>q</p>\n  </blockquote>")},
        {"code block keeps its lines", "```\na<b\n  c\n```", document("\n  <pre><code>a&lt;b\n  c\n</code></pre>")},
        {"table", "| a | b |\n|-|:-:|\n| 1 | 2 |",
         document("\n  <table>\n   <thead>\n    <tr>\n     <th>a</th>\n     <th align=\"center\">b</th>\n"
                  "    </tr>\n   </thead>\n   <tbody>\n    <tr>\n     <td>1</td>\n"
                  "     <td align=\"center\">2</td>\n    </tr>\n   </tbody>\n  </table>")},
        // Text is escaped
        {"ampersand and angles", "a & b < c > d", document("\n  <p>a &amp; b &lt; c &gt; d</p>")},
        {"quotes stay in text", "say \"hi\"", document("\n  <p>say \"hi\"</p>")},
        {"no-break space", "a\u00a0b", document("\n  <p>a&nbsp;b</p>")},
        {"entity in source is decoded then escaped", "&copy; &amp;", document("\n  <p>\u00a9 &amp;</p>")},
        {"non-ASCII kept raw", "Grüße 日本", document("\n  <p>Grüße 日本</p>")},
        // Raw html is kept and reformatted
        {"div block", "<div class=\"x\">raw</div>", document("\n  <div class=\"x\">\n   raw\n  </div>")},
        {"inline span", "a <span>b</span> c", document("\n  <p>a <span>b</span> c</p>")},
        {"comment after content", "x\n\n<!-- note -->", document("\n  <p>x</p>\n  <!-- note -->")},
        {"leading comment stays before the document", "<!-- note -->",
         "<!-- note -->\n<html>\n <head></head>\n <body></body>\n</html>"},
        {"script body written raw", "x\n\n<script>if (a<b) f();</script>",
         document("\n  <p>x</p>\n  <script>if (a<b) f();</script>")},
        // Metadata block is not rendered
        {"metadata removed", "---\ntitle: x\ndate: y\n---\n# A", document("\n  <h1>A</h1>")},
        {"empty metadata", "---\n---\ntext", document("\n  <p>text</p>")},
        {"CRLF fences", "---\r\na: b\r\n---\r\ntext", document("\n  <p>text</p>")},
        {"unclosed block is content", "---\ntext", document("\n  <hr>\n  <p>text</p>")},
        {"a fence is three dashes exactly", "----\na\n---\nb", document("\n  <hr>\n  <h2>a</h2>\n  <p>b</p>")},
        {"not at the very top", "x\n\n---\na\n---\n", document("\n  <p>x</p>\n  <hr>\n  <h2>a</h2>")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.input), c.expected) << c.name;
}

TEST(HtmlPrettyPrinter, SerialisesFragmentsAsDocuments) {
    const Row cases[] = {
        {"bare text starts the body's line", "hi", document("\n  hi")},
        {"text before a block loses its trailing space", "<div>a \n<p>b</p> \nc</div>",
         document("\n  <div>\n   a\n   <p>b</p>c\n  </div>")},
        {"attribute escaping", "<p title='a\"b&c<d'>x</p>", document("\n  <p title=\"a&quot;b&amp;c<d\">x</p>")},
        {"boolean attribute collapses", "<input disabled=\"disabled\" value=\"\">",
         document("\n  <input disabled value=\"\">")},
        {"unknown tag formats as a block", "<my-tag>x</my-tag>", document("\n  <my-tag>\n   x\n  </my-tag>")},
        {"white space collapsed outside pre", "<p>a \n\t b</p>", document("\n  <p>a b</p>")},
        {"empty inline element", "<p><b></b>x</p>", document("\n  <p><b></b>x</p>")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(html::prettyDocument(c.input).value_or("(none)"), c.expected) << c.name;
}

TEST(MarkdownToHtml, DeepNestingAndMalformedInputNeverCrash) {
    const std::string deep = run(std::string(4000, '>') + " deep");
    EXPECT_EQ(deep.rfind("<html>", 0), 0u);
    EXPECT_LT(deep.size(), 400000u); // indentation is capped, so the size stays linear
    EXPECT_EQ(run(std::string(5000, '[') + std::string(5000, '*')).rfind("<html>", 0), 0u);
    std::string nested;
    for (int i = 0; i < 3000; ++i)
        nested += "<div>";
    EXPECT_EQ(run(nested).rfind("<html>", 0), 0u);

    const std::string seed = "---\nt: 1\n---\n# H *e* **s** `c`\n\n| a | b |\n|-|-|\n| 1 | 2 |\n\n- [x] t\n"
                             "  1. n\n\n> q <b>raw</b> &amp; [l](u)\n\n```\ncode\n```\n<div a=\"1\">d</div>\n";
    std::mt19937 random(7);
    const std::string alphabet = "#*_`[]()<>!|-:~\\\"&;\n \t/=xX\x80\xff";
    for (int round = 0; round < 400; ++round) {
        std::string input = seed.substr(0, random() % (seed.size() + 1));
        for (int edits = random() % 6; edits > 0 && !input.empty(); --edits)
            input[random() % input.size()] = alphabet[random() % alphabet.size()];
        const std::string out = run(input);
        ASSERT_EQ(out.rfind("<html>", 0), 0u) << input;
        ASSERT_EQ(out.substr(out.size() - 7), "</html>") << input;
    }
}
