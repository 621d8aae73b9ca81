* Ctrl+Right e Ctrl+Left param no começo de cada palavra: letras e algarismos
* são palavras diferentes, com um clique a cada passo.
seja e "abc 123def 45"
escreve "Palavras: " &
le edita e
escreve "[" e "]"
